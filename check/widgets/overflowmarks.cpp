#include "check/widgets/overflowmarks.h"

#include "editor/preview.h"

#include <QEvent>
#include <QPainter>

OverflowMarks::OverflowMarks(QWidget *preview)
    : QWidget(preview)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(preview->rect());
    preview->installEventFilter(this);
}

void OverflowMarks::setMarks(const QList<QRect> &marks)
{
    if (marks == m_marks)
        return;
    m_marks = marks;
    raise();
    update();
}

void OverflowMarks::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // The marks are in game pixels; the preview shows each as a square of
    // its zoom, so they are scaled with it to stay on the glyphs they name.
    const qreal scale = qreal(width()) / PreviewCanvas::Width;
    painter.scale(scale, scale);
    const QColor warning(0xff, 0x50, 0x30);
    for (const QRect &mark : std::as_const(m_marks)) {
        painter.fillRect(mark, QColor(warning.red(), warning.green(), warning.blue(), 90));
        painter.setPen(warning);
        painter.drawRect(QRectF(mark).adjusted(0.5 / scale, 0.5 / scale, -0.5 / scale, -0.5 / scale));
    }
}

bool OverflowMarks::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}
