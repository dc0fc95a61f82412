#include "drawing.h"

#include <QPainterPath>
#include <QtMath>

QImage canvas(int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void smooth(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
}

void drawPage(QPainter &p, const QRectF &r, int lines, qreal fold)
{
    p.save();
    smooth(p);
    QPainterPath page;
    page.moveTo(r.left(), r.top());
    page.lineTo(r.right() - fold, r.top());
    page.lineTo(r.right(), r.top() + fold);
    page.lineTo(r.right(), r.bottom());
    page.lineTo(r.left(), r.bottom());
    page.closeSubpath();
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, Ink::paper);
    g.setColorAt(1, Ink::paperShade);
    p.setPen(QPen(Ink::grey, 1.0));
    p.setBrush(g);
    p.drawPath(page);

    QPainterPath ear;
    ear.moveTo(r.right() - fold, r.top());
    ear.lineTo(r.right() - fold, r.top() + fold);
    ear.lineTo(r.right(), r.top() + fold);
    ear.closeSubpath();
    p.setBrush(Ink::lightGrey);
    p.drawPath(ear);

    p.setRenderHint(QPainter::Antialiasing, false);
    const int left = qRound(r.left()) + 2;
    const int right = qRound(r.right()) - 2;
    int y = qRound(r.top()) + qRound(fold) + 2;
    for (int i = 0; i < lines && y < r.bottom() - 1; ++i, y += 2) {
        const int end = (i % 3 == 2) ? left + (right - left) * 2 / 3 : right;
        p.fillRect(QRect(QPoint(left, y), QPoint(end - 1, y)), Ink::line);
    }
    p.restore();
}

void drawTick(QPainter &p, const QRectF &r, const QColor &colour, qreal width)
{
    p.save();
    smooth(p);
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath tick;
    tick.moveTo(r.left(), r.top() + r.height() * 0.55);
    tick.lineTo(r.left() + r.width() * 0.38, r.bottom());
    tick.lineTo(r.right(), r.top());
    p.drawPath(tick);
    p.restore();
}

QPainterPath starPath(const QRectF &r, qreal innerRatio)
{
    QPainterPath star;
    const QPointF c = r.center() + QPointF(0, r.height() * 0.05);
    const qreal outer = qMin(r.width(), r.height()) / 2;
    for (int i = 0; i < 10; ++i) {
        const qreal radius = (i % 2 == 0) ? outer : outer * innerRatio;
        const qreal angle = -M_PI / 2 + i * M_PI / 5;
        const QPointF pt = c + QPointF(radius * qCos(angle), radius * qSin(angle));
        if (i == 0)
            star.moveTo(pt);
        else
            star.lineTo(pt);
    }
    star.closeSubpath();
    return star;
}
