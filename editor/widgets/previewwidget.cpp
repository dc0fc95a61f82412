#include "editor/widgets/previewwidget.h"

#include "editor/preview.h"
#include "editor/renderer.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

using namespace Qt::StringLiterals;

PreviewWidget::PreviewWidget(QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(PreviewCanvas::Width, PreviewCanvas::Height);
    setToolTip(u"Alt+Arrow to resize the window"_s);
    // Every pixel comes from the surface; nothing behind needs painting.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PreviewWidget::setSurface(const QImage *surface)
{
    m_surface = surface;
    update();
}

void PreviewWidget::paintEvent(QPaintEvent *event)
{
    emit aboutToPaint();
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (m_surface && !m_surface->isNull())
        painter.drawImage(event->rect(), *m_surface, event->rect());
    else
        painter.fillRect(event->rect(), QColor::fromRgb(PreviewLayout::Background));
}

void PreviewWidget::attachScrolling(QWidget *container, QScrollBar *bar)
{
    m_container = container;
    m_bar = bar;
    bar->setPageStep(PreviewLayout::ScrollLargeChange);
    bar->setMinimum(0);
    connect(bar, &QScrollBar::valueChanged, this, &PreviewWidget::placeSurface);
    container->installEventFilter(this);
    layoutInContainer();
}

bool PreviewWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_container && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        layoutInContainer();
    return QWidget::eventFilter(watched, event);
}

void PreviewWidget::layoutInContainer()
{
    if (!m_container || !m_bar)
        return;
    const QRect inner = m_container->contentsRect();
    m_bar->setMaximum(previewScrollMaximum(inner.height()));
    const int barWidth = m_bar->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_bar);
    m_bar->setGeometry(inner.right() + 1 - barWidth, inner.top(), barWidth, inner.height());
    m_bar->raise();
    // The surface keeps the scrolled position rather than jumping back to
    // the top while the bar still shows another value.
    placeSurface();
}

void PreviewWidget::placeSurface()
{
    const QRect inner = m_container->contentsRect();
    move(inner.left(), inner.top() - m_bar->value() * PreviewLayout::ScrollStep);
}
