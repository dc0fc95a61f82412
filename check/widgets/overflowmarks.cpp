#include "check/widgets/overflowmarks.h"

#include "editor/preview.h"

#include <QEvent>
#include <QPainter>
#include <QRegion>

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
    // Only where a mark comes or goes: the whole surface would repaint the
    // preview beneath and the scroll bar over it on every key.
    const qreal scale = qreal(width()) / PreviewCanvas::Width;
    QRegion changed;
    auto add = [&](const QList<QRect> &from, const QList<QRect> &besides) {
        for (const QRect &mark : from) {
            if (!besides.contains(mark)) // a game pixel of margin: the outline reaches past the mark
                changed += QRectF(QRectF(mark.adjusted(-1, -1, 1, 1)).topLeft() * scale,
                                  QSizeF(mark.adjusted(-1, -1, 1, 1).size()) * scale)
                               .toAlignedRect();
        }
    };
    add(m_marks, marks);
    add(marks, m_marks);
    m_marks = marks;
    raise();
    update(changed);
}

namespace {

void drawMark(QPainter &painter, const QRect &mark, qreal scale)
{
    const QColor warning(0xff, 0x50, 0x30);
    painter.fillRect(mark, QColor(warning.red(), warning.green(), warning.blue(), 90));
    painter.setPen(warning);
    painter.drawRect(QRectF(mark).adjusted(0.5 / scale, 0.5 / scale, -0.5 / scale, -0.5 / scale));
}

} // namespace

void OverflowMarks::paintEvent(QPaintEvent *)
{
    if (m_marks.isEmpty())
        return;
    QPainter painter(this);
    // The marks are in game pixels; the preview shows each as a square of
    // its zoom, so they are scaled with it to stay on the glyphs they name.
    const qreal scale = qreal(width()) / PreviewCanvas::Width;
    const int whole = qRound(scale);
    if (whole < 1 || !qFuzzyCompare(scale, qreal(whole))) {
        painter.scale(scale, scale);
        for (const QRect &mark : std::as_const(m_marks))
            drawMark(painter, mark, scale);
        return;
    }
    // Stroking an outline at the zoom costs more than the whole preview, and
    // the preview repaints on every key. At a whole zoom a mark drawn once per
    // size and copied to its place gives the same pixels.
    if (whole != m_tileScale || m_tiles.size() > 512) {
        m_tiles.clear();
        m_tileScale = whole;
    }
    for (const QRect &mark : std::as_const(m_marks)) {
        QImage &tile = m_tiles[mark.size()];
        if (tile.isNull()) {
            // A game pixel of margin: the outline reaches past the mark.
            tile = QImage((mark.size() + QSize(2, 2)) * whole, QImage::Format_ARGB32_Premultiplied);
            tile.fill(Qt::transparent);
            QPainter tilePainter(&tile);
            tilePainter.scale(whole, whole);
            drawMark(tilePainter, QRect(QPoint(1, 1), mark.size()), whole);
        }
        painter.drawImage((mark.topLeft() - QPoint(1, 1)) * whole, tile);
    }
}

bool OverflowMarks::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}
