#include "check/widgets/overflowmarks.h"

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
    const QColor warning(0xff, 0x50, 0x30);
    for (const QRect &mark : std::as_const(m_marks)) {
        painter.fillRect(mark, QColor(warning.red(), warning.green(), warning.blue(), 90));
        painter.setPen(warning);
        painter.drawRect(mark.adjusted(0, 0, -1, -1));
    }
}

bool OverflowMarks::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}
