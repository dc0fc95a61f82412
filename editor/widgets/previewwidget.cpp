#include "editor/widgets/previewwidget.h"

#include "editor/preview.h"
#include "editor/previewzoom.h"
#include "editor/renderer.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

using namespace Qt::StringLiterals;

namespace {

const QSize GameSize(PreviewCanvas::Width, PreviewCanvas::Height);

} // namespace

PreviewWidget::PreviewWidget(QWidget *parent)
    : QWidget(parent)
{
    setToolTip(u"Alt+Arrow to resize the window"_s);
    // Every pixel comes from the surface; nothing behind needs painting.
    setAttribute(Qt::WA_OpaquePaintEvent);
    applyScale();
}

void PreviewWidget::setSurface(const QImage *surface)
{
    m_surface = surface;
    update();
}

QRect PreviewWidget::shownRect() const
{
    if (!m_container || !m_bar)
        return rect();
    // The bars lie over the surface: a paint under them repaints them too,
    // which costs more than the surface itself on every key.
    QRect shown = m_container->contentsRect();
    if (m_bar->isVisible())
        shown.setRight(m_bar->geometry().left() - 1);
    if (m_across && m_across->isVisible())
        shown.setBottom(m_across->geometry().top() - 1);
    return shown.translated(-pos()) & rect();
}

void PreviewWidget::updateShown()
{
    update(shownRect());
}

void PreviewWidget::updateShown(const QRect &game)
{
    const qreal scale = PreviewZoom::logicalScale(m_zoom, devicePixelRatioF());
    const QRect part = QRectF(game.x() * scale, game.y() * scale, game.width() * scale, game.height() * scale)
                           .toAlignedRect();
    if (const QRect shown = part & shownRect(); !shown.isEmpty())
        update(shown);
}

void PreviewWidget::setZoom(int factor)
{
    factor = PreviewZoom::clampFactor(factor);
    if (factor == m_zoom)
        return;
    m_zoom = factor;
    applyScale();
    emit zoomChanged(m_zoom);
}

void PreviewWidget::addGuide(QWidget *line, int gameX)
{
    m_guides.append({line, gameX});
    applyScale();
}

void PreviewWidget::applyScale()
{
    const qreal ratio = devicePixelRatioF();
    m_ratio = ratio;
    setFixedSize(PreviewZoom::widgetSize(GameSize, m_zoom, ratio));
    for (const Guide &guide : std::as_const(m_guides))
        guide.line->setGeometry(PreviewZoom::toLogical(guide.gameX, m_zoom, ratio), 0, 1, height());
    layoutInContainer();
    update();
}

void PreviewWidget::paintEvent(QPaintEvent *event)
{
    emit aboutToPaint();
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (!m_surface || m_surface->isNull()) {
        painter.fillRect(event->rect(), QColor::fromRgb(PreviewLayout::Background));
        return;
    }
    // Drawn in game pixels scaled by a whole number of device pixels, without
    // smoothing: every game pixel is a crisp square.
    const qreal ratio = devicePixelRatioF();
    if (ratio != m_ratio) // moved to a screen of another ratio: sized anew after this paint
        QMetaObject::invokeMethod(this, &PreviewWidget::applyScale, Qt::QueuedConnection);
    const qreal scale = PreviewZoom::logicalScale(m_zoom, ratio);
    const QRect game = PreviewZoom::gameRect(event->rect(), m_surface->size(), m_zoom, ratio);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.scale(scale, scale);
    painter.drawImage(game, *m_surface, game);
}

void PreviewWidget::wheelEvent(QWheelEvent *event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        event->ignore();
        return;
    }
    const int steps = PreviewZoom::wheelSteps(event->angleDelta().y(), &m_wheelRemainder);
    if (steps != 0)
        setZoom(m_zoom + steps);
    event->accept();
}

void PreviewWidget::attachScrolling(QWidget *container, QScrollBar *bar)
{
    m_container = container;
    m_bar = bar;
    bar->setPageStep(PreviewLayout::ScrollLargeChange);
    bar->setMinimum(0);
    connect(bar, &QScrollBar::valueChanged, this, &PreviewWidget::placeSurface);
    m_across = new QScrollBar(Qt::Horizontal, container);
    m_across->setObjectName(u"horizontalScroll"_s);
    m_across->setMinimum(0);
    m_across->hide();
    connect(m_across, &QScrollBar::valueChanged, this, &PreviewWidget::placeSurface);
    container->installEventFilter(this);
    layoutInContainer();
}

bool PreviewWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_container && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        layoutInContainer();
    return QWidget::eventFilter(watched, event);
}

void PreviewContainer::setWantedWidth(int width)
{
    if (width == m_hint.width())
        return;
    m_hint.setWidth(width);
    updateGeometry();
}

int PreviewWidget::wantedContainerWidth() const
{
    const int barWidth = m_bar ? m_bar->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_bar) : 0;
    const int frame = m_container ? m_container->width() - m_container->contentsRect().width() : 0;
    return PreviewZoom::toLogical(DesignedVisibleWidth, m_zoom, devicePixelRatioF()) + barWidth + frame;
}

void PreviewWidget::layoutInContainer()
{
    if (!m_container || !m_bar)
        return;
    const qreal ratio = devicePixelRatioF();
    const QRect inner = m_container->contentsRect();
    const int barWidth = m_bar->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_bar);
    // Zoomed in a narrow window the surface scrolls across rather than
    // widening the window past the screen.
    const int visibleWidth = inner.width() - barWidth;
    const bool across = PreviewZoom::toLogical(DesignedVisibleWidth, m_zoom, ratio) > visibleWidth;
    const int acrossHeight = across ? barWidth : 0;
    // The range as the container's whole inner height gives it; the bar
    // across covers the last rows' bottom at most.
    m_bar->setMaximum(previewScrollMaximum(PreviewZoom::toGame(inner.height(), m_zoom, ratio)));
    m_bar->setGeometry(inner.right() + 1 - barWidth, inner.top(), barWidth, inner.height() - acrossHeight);
    m_bar->raise();
    m_across->setRange(0, std::max(0, width() - visibleWidth));
    m_across->setPageStep(std::max(1, visibleWidth));
    m_across->setSingleStep(PreviewZoom::toLogical(PreviewLayout::GlyphWidth, m_zoom, ratio));
    m_across->setGeometry(inner.left(), inner.bottom() + 1 - acrossHeight, std::max(0, visibleWidth), acrossHeight);
    m_across->setVisible(across);
    m_across->raise();
    const int frame = m_container->width() - inner.width();
    m_container->setMinimumWidth(MinimumVisibleWidth + barWidth + frame);
    if (auto *container = qobject_cast<PreviewContainer *>(m_container))
        container->setWantedWidth(wantedContainerWidth());
    m_container->setMaximumWidth(width() + barWidth + frame);
    // The surface keeps the scrolled position rather than jumping back to
    // the top while the bar still shows another value.
    placeSurface();
}

void PreviewWidget::placeSurface()
{
    if (!m_container || !m_bar)
        return;
    const QRect inner = m_container->contentsRect();
    move(inner.left() - (m_across && m_across->isVisible() ? m_across->value() : 0),
         inner.top() - PreviewZoom::toLogical(m_bar->value() * PreviewLayout::ScrollStep, m_zoom, devicePixelRatioF()));
}
