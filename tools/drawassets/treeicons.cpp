// The seven images of the script tree, 16 x 16, in the tree's image order.
#include "drawing.h"

#include <QPainterPath>

namespace {

constexpr int size = 16;

QImage home()
{
    QImage img = canvas(size);
    QPainter p(&img);
    smooth(p);
    // Chimney behind the roof.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8a, 0x3a, 0x2a));
    p.drawRect(QRectF(10, 2, 2, 4));
    // Walls.
    p.setPen(QPen(Ink::brown, 1));
    QLinearGradient wall(0, 7, 0, 15);
    wall.setColorAt(0, QColor(0xfb, 0xf1, 0xd6));
    wall.setColorAt(1, QColor(0xe8, 0xd4, 0xa4));
    p.setBrush(wall);
    p.drawRect(QRectF(3.5, 7.5, 9, 7));
    // Door and window.
    p.setPen(Qt::NoPen);
    p.setBrush(Ink::lightBrown);
    p.drawRect(QRectF(6, 10, 3, 5));
    p.setBrush(Ink::lightBlue);
    p.drawRect(QRectF(10, 9, 2, 2));
    // Roof.
    QPainterPath roof;
    roof.moveTo(0.5, 8.5);
    roof.lineTo(8, 1);
    roof.lineTo(15.5, 8.5);
    roof.lineTo(13.5, 8.5);
    roof.lineTo(8, 3.2);
    roof.lineTo(2.5, 8.5);
    roof.closeSubpath();
    QLinearGradient tile(0, 1, 0, 9);
    tile.setColorAt(0, Ink::lightRed);
    tile.setColorAt(1, Ink::red);
    p.setPen(QPen(QColor(0x8a, 0x10, 0x10), 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(tile);
    p.drawPath(roof);
    return img;
}

QImage folder()
{
    QImage img = canvas(size);
    QPainter p(&img);
    smooth(p);
    p.setPen(QPen(Ink::darkGold, 1));
    // Back with its tab.
    QPainterPath back;
    back.moveTo(1.5, 13.5);
    back.lineTo(1.5, 2.5);
    back.lineTo(6, 2.5);
    back.lineTo(7.5, 4.5);
    back.lineTo(14.5, 4.5);
    back.lineTo(14.5, 13.5);
    back.closeSubpath();
    p.setBrush(QColor(0xd8, 0x9c, 0x1c));
    p.drawPath(back);
    // Front flap, lit from above.
    QPainterPath front;
    front.moveTo(1.5, 13.5);
    front.lineTo(2.5, 6.5);
    front.lineTo(15.5, 6.5);
    front.lineTo(14.5, 13.5);
    front.closeSubpath();
    QLinearGradient g(0, 6, 0, 14);
    g.setColorAt(0, Ink::lightGold);
    g.setColorAt(1, Ink::gold);
    p.setBrush(g);
    p.drawPath(front);
    return img;
}

QImage script()
{
    QImage img = canvas(size);
    QPainter p(&img);
    drawPage(p, QRectF(2.5, 0.5, 11, 15), 5);
    return img;
}

QImage notTranslated()
{
    QImage img = canvas(size);
    QPainter p(&img);
    smooth(p);
    p.setPen(QPen(QColor(0x88, 0x8c, 0x86), 1.6));
    p.setBrush(QColor(0xf4, 0xf5, 0xf3));
    p.drawEllipse(QPointF(8, 8), 5.6, 5.6);
    return img;
}

QImage translated()
{
    QImage img = canvas(size);
    QPainter p(&img);
    smooth(p);
    QRadialGradient g(QPointF(6, 5), 9);
    g.setColorAt(0, Ink::lightGreen);
    g.setColorAt(1, Ink::green);
    p.setPen(QPen(QColor(0x2f, 0x66, 0x02), 1));
    p.setBrush(g);
    p.drawEllipse(QPointF(8, 8), 7, 7);
    drawTick(p, QRectF(4.6, 5.0, 6.8, 5.6), Qt::white, 1.9);
    return img;
}

QImage opened()
{
    QImage img = canvas(size);
    QPainter p(&img);
    drawPage(p, QRectF(1.5, 0.5, 10, 13), 4, 3.5);
    p.end();
    // A pencil at 45 degrees, pixel by pixel: at this size a smooth one blurs.
    // Step k runs from the tip (4, 15) up and right; each step is a centre
    // pixel with one neighbour above (lit side) and one to the right (shade).
    const QColor graphite(0x2e, 0x34, 0x36), wood(0xe9, 0xc9, 0x8f), lit(0xfc, 0xe9, 0x4f),
        body(0xf5, 0xa0, 0x00), shade(0xb0, 0x5c, 0x00), band(0x9a, 0xa0, 0xa8), rubber(0xee, 0x8a, 0x9a);
    for (int k = 0; k <= 11; ++k) {
        const int x = 4 + k, y = 15 - k;
        QColor c = body, above = lit, right = shade;
        if (k == 0)
            c = above = right = graphite;
        else if (k <= 2)
            c = above = right = wood;
        else if (k == 9)
            c = above = right = band;
        else if (k >= 10)
            c = above = right = rubber;
        img.setPixelColor(x, y, c);
        if (k > 0 && k < 11) {
            img.setPixelColor(x, y - 1, above);
            if (x + 1 < size)
                img.setPixelColor(x + 1, y, right);
        }
    }
    return img;
}

QImage revised()
{
    QImage img = canvas(size);
    QPainter p(&img);
    smooth(p);
    QRadialGradient g(QPointF(7, 6), 9);
    g.setColorAt(0, QColor(0xff, 0xf4, 0x9c));
    g.setColorAt(0.5, Ink::lightGold);
    g.setColorAt(1, Ink::gold);
    p.setPen(QPen(Ink::darkGold, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(g);
    p.drawPath(starPath(QRectF(0.5, 0.3, 15, 15), 0.48));
    return img;
}

} // namespace

QList<QImage> treeIcons()
{
    return {home(), folder(), script(), notTranslated(), translated(), opened(), revised()};
}
