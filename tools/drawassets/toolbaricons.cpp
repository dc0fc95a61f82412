// The toolbar's thirteen images, 24 x 24, by button position.
#include "drawing.h"

#include <QFont>
#include <QPainterPath>
#include <QtMath>

namespace {

constexpr int size = 24;

QImage save()
{
    QImage img = canvas(size);
    QPainter p(&img);
    smooth(p);
    QLinearGradient body(0, 2, 0, 22);
    body.setColorAt(0, Ink::lightBlue);
    body.setColorAt(1, Ink::blue);
    p.setPen(QPen(Ink::darkBlue, 1));
    p.setBrush(body);
    QPainterPath disk;
    disk.moveTo(2.5, 4.5);
    disk.quadTo(2.5, 2.5, 4.5, 2.5);
    disk.lineTo(18.5, 2.5);
    disk.lineTo(21.5, 5.5);
    disk.lineTo(21.5, 19.5);
    disk.quadTo(21.5, 21.5, 19.5, 21.5);
    disk.lineTo(4.5, 21.5);
    disk.quadTo(2.5, 21.5, 2.5, 19.5);
    disk.closeSubpath();
    p.drawPath(disk);
    // Metal shutter with its slot.
    QLinearGradient metal(7, 0, 17, 0);
    metal.setColorAt(0, QColor(0xee, 0xee, 0xec));
    metal.setColorAt(1, QColor(0xba, 0xbd, 0xb6));
    p.setPen(QPen(QColor(0x55, 0x57, 0x53), 1));
    p.setBrush(metal);
    p.drawRect(QRectF(6.5, 2.5, 11, 7));
    p.setPen(Qt::NoPen);
    p.setBrush(Ink::darkBlue);
    p.drawRect(QRectF(13, 4, 2.5, 4));
    // Label.
    p.setPen(QPen(QColor(0x88, 0x8a, 0x85), 1));
    p.setBrush(Ink::paper);
    p.drawRect(QRectF(5.5, 12.5, 13, 9));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(7, 15, 10, 1), Ink::lightBlue);
    p.fillRect(QRect(7, 18, 8, 1), Ink::lightBlue);
    return img;
}

QImage search()
{
    QImage img = canvas(size);
    QPainter p(&img);
    smooth(p);
    p.setPen(QPen(Ink::outline, 3.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(15, 15), QPointF(20.5, 20.5));
    p.setPen(QPen(Ink::brown, 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16.2, 16.2), QPointF(20.3, 20.3));
    QRadialGradient glass(QPointF(8, 7), 8);
    glass.setColorAt(0, QColor(0xf4, 0xf8, 0xff));
    glass.setColorAt(1, QColor(0xa8, 0xc8, 0xec));
    p.setPen(QPen(QColor(0x55, 0x57, 0x53), 2.2));
    p.setBrush(glass);
    p.drawEllipse(QPointF(10, 10), 6.6, 6.6);
    p.setPen(QPen(QColor(255, 255, 255, 200), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(6, 6, 8, 8), 100 * 16, 70 * 16);
    return img;
}

QImage spellCheck()
{
    QImage img = canvas(size);
    QPainter p(&img);
    smooth(p);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(10);
    f.setBold(true);
    f.setHintingPreference(QFont::PreferFullHinting);
    p.setFont(f);
    p.setPen(Ink::darkBlue);
    p.drawText(QRect(0, 1, 24, 11), Qt::AlignCenter, QStringLiteral("ABC"));
    p.setPen(QPen(Ink::outline, 4.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    drawTick(p, QRectF(5, 13.5, 14, 8), QColor(0x2f, 0x66, 0x02), 4.0);
    drawTick(p, QRectF(5, 13.5, 14, 8), Ink::lightGreen, 2.2);
    return img;
}

QImage clone()
{
    QImage img = canvas(size);
    QPainter p(&img);
    drawPage(p, QRectF(2.5, 1.5, 12, 15), 5);
    drawPage(p, QRectF(9.5, 7.5, 12, 15), 5);
    return img;
}

// The six insert commands share a tag look: < symbol >.
QImage tag()
{
    QImage img = canvas(size);
    QPainter p(&img);
    smooth(p);
    p.setPen(QPen(Ink::tagBlue, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF{QPointF(5, 6.5), QPointF(1.6, 12), QPointF(5, 17.5)});
    p.drawPolyline(QPolygonF{QPointF(19, 6.5), QPointF(22.4, 12), QPointF(19, 17.5)});
    return img;
}

QImage insertNew()
{
    QImage img = tag();
    QPainter p(&img);
    drawPage(p, QRectF(6.5, 4.5, 9, 13), 3, 3);
    smooth(p);
    QRadialGradient g(QPointF(14.5, 14.5), 5);
    g.setColorAt(0, Ink::lightGreen);
    g.setColorAt(1, Ink::green);
    p.setPen(QPen(QColor(0x2f, 0x66, 0x02), 1));
    p.setBrush(g);
    p.drawEllipse(QPointF(15.5, 16), 4.2, 4.2);
    p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(15.5, 13.6), QPointF(15.5, 18.4));
    p.drawLine(QPointF(13.1, 16), QPointF(17.9, 16));
    return img;
}

QImage insertWait()
{
    QImage img = tag();
    QPainter p(&img);
    smooth(p);
    // Glass.
    QPainterPath glass;
    glass.moveTo(8, 6);
    glass.lineTo(16, 6);
    glass.cubicTo(16, 10, 12.8, 11, 12.8, 12);
    glass.cubicTo(12.8, 13, 16, 14, 16, 18);
    glass.lineTo(8, 18);
    glass.cubicTo(8, 14, 11.2, 13, 11.2, 12);
    glass.cubicTo(11.2, 11, 8, 10, 8, 6);
    p.setPen(QPen(QColor(0x55, 0x57, 0x53), 1));
    p.setBrush(QColor(0xf0, 0xf6, 0xff));
    p.drawPath(glass);
    // Sand: a little left on top, a heap below.
    p.setPen(Qt::NoPen);
    p.setBrush(Ink::gold);
    p.drawPolygon(QPolygonF{QPointF(9.6, 9), QPointF(14.4, 9), QPointF(12, 11.4)});
    p.drawPolygon(QPolygonF{QPointF(9, 17.4), QPointF(15, 17.4), QPointF(12, 14.2)});
    p.drawRect(QRectF(11.6, 11, 0.8, 4));
    // Caps.
    p.setBrush(Ink::brown);
    p.drawRoundedRect(QRectF(6.5, 4, 11, 2.2), 0.8, 0.8);
    p.drawRoundedRect(QRectF(6.5, 17.8, 11, 2.2), 0.8, 0.8);
    return img;
}

QImage insertDelay()
{
    QImage img = tag();
    QPainter p(&img);
    smooth(p);
    p.setPen(QPen(Ink::outline, 1.4));
    QRadialGradient face(QPointF(11, 10), 8);
    face.setColorAt(0, Qt::white);
    face.setColorAt(1, QColor(0xdd, 0xe2, 0xe8));
    p.setBrush(face);
    p.drawEllipse(QPointF(12, 12), 6.3, 6.3);
    for (int i = 0; i < 12; i += 3) {
        const qreal a = i * M_PI / 6;
        p.setPen(QPen(Ink::grey, 1.0));
        p.drawLine(QPointF(12 + 4.4 * qSin(a), 12 - 4.4 * qCos(a)), QPointF(12 + 5.3 * qSin(a), 12 - 5.3 * qCos(a)));
    }
    p.setPen(QPen(Ink::outline, 1.3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12, 12), QPointF(12, 7.6));
    p.setPen(QPen(Ink::red, 1.1, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12, 12), QPointF(15.2, 13.8));
    return img;
}

QImage insertOpcode()
{
    QImage img = tag();
    QPainter p(&img);
    smooth(p);
    const QPointF c(12, 12);
    QPainterPath gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 4; ++i) {
        // Each tooth: rise, top, fall, root.
        const qreal a = (i - 0.5) * 2 * M_PI / (teeth * 4);
        const qreal r = (i % 4 == 0 || i % 4 == 1) ? 6.8 : 5.0;
        const QPointF pt = c + QPointF(r * qCos(a), r * qSin(a));
        if (i == 0)
            gear.moveTo(pt);
        else
            gear.lineTo(pt);
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(c, 2.1, 2.1);
    QLinearGradient metal(6, 6, 18, 18);
    metal.setColorAt(0, QColor(0xd8, 0xdc, 0xd4));
    metal.setColorAt(1, QColor(0x88, 0x8a, 0x85));
    p.setPen(QPen(QColor(0x41, 0x45, 0x44), 1));
    p.setBrush(metal);
    p.drawPath(gear.subtracted(hole));
    return img;
}

QImage insertClose()
{
    QImage img = tag();
    QPainter p(&img);
    smooth(p);
    QLinearGradient g(0, 6, 0, 18);
    g.setColorAt(0, Ink::lightRed);
    g.setColorAt(1, Ink::red);
    p.setPen(QPen(QColor(0x8a, 0x10, 0x10), 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(6.5, 6.5, 11, 11), 2.5, 2.5);
    p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9.5, 9.5), QPointF(14.5, 14.5));
    p.drawLine(QPointF(14.5, 9.5), QPointF(9.5, 14.5));
    return img;
}

QImage insertSpace()
{
    QImage img = tag();
    QPainter p(&img);
    smooth(p);
    // The open box that stands for a blank.
    p.setPen(QPen(QColor(0xb0, 0x50, 0x00), 3.4, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    const QPolygonF box{QPointF(7.5, 10), QPointF(7.5, 16.5), QPointF(16.5, 16.5), QPointF(16.5, 10)};
    p.drawPolyline(box);
    p.setPen(QPen(Ink::orange, 1.6, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawPolyline(box);
    return img;
}

QImage viewTranslated()
{
    QImage img = canvas(size);
    QPainter p(&img);
    drawPage(p, QRectF(3.5, 1.5, 13, 17), 6);
    smooth(p);
    QPainterPath eye;
    eye.moveTo(8.5, 17.5);
    eye.quadTo(15, 10.5, 21.5, 17.5);
    eye.quadTo(15, 24.5, 8.5, 17.5);
    p.setPen(QPen(Ink::outline, 1.2));
    p.setBrush(Qt::white);
    p.drawPath(eye);
    p.setPen(Qt::NoPen);
    p.setBrush(Ink::blue);
    p.drawEllipse(QPointF(15, 17.5), 3.0, 3.0);
    p.setBrush(Ink::outline);
    p.drawEllipse(QPointF(15, 17.5), 1.3, 1.3);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(14.1, 16.6), 0.7, 0.7);
    return img;
}

QImage clean()
{
    QImage img = canvas(size);
    QPainter p(&img);
    smooth(p);
    // What is left of a rubbed-out line.
    p.setPen(QPen(QColor(0xa0, 0xa4, 0xa0), 1.2, Qt::DashLine, Qt::FlatCap));
    p.drawLine(QPointF(2, 21.5), QPointF(10, 21.5));
    p.translate(12.5, 12);
    p.rotate(-40);
    const QRectF block(-9, -4.5, 18, 9);
    p.setPen(QPen(QColor(0x7a, 0x30, 0x40), 1));
    QLinearGradient pink(0, -4.5, 0, 4.5);
    pink.setColorAt(0, QColor(0xfa, 0xc0, 0xc8));
    pink.setColorAt(1, QColor(0xe8, 0x84, 0x94));
    p.setBrush(pink);
    p.drawRoundedRect(block, 1.8, 1.8);
    QLinearGradient sleeve(0, -4.5, 0, 4.5);
    sleeve.setColorAt(0, Ink::lightBlue);
    sleeve.setColorAt(1, Ink::blue);
    p.setPen(QPen(Ink::darkBlue, 1));
    p.setBrush(sleeve);
    p.drawRect(QRectF(-1, -4.5, 10, 9));
    return img;
}

QImage exitIcon()
{
    QImage img = canvas(size);
    QPainter p(&img);
    smooth(p);
    // Door frame and the dark room behind.
    p.setPen(QPen(QColor(0x5a, 0x3a, 0x10), 1));
    p.setBrush(QColor(0x3a, 0x30, 0x28));
    p.drawRect(QRectF(3.5, 2.5, 11, 19));
    // The door, swung open towards the viewer.
    QPainterPath door;
    door.moveTo(3.5, 2.5);
    door.lineTo(9.5, 4.5);
    door.lineTo(9.5, 23);
    door.lineTo(3.5, 21.5);
    door.closeSubpath();
    QLinearGradient wood(3, 0, 10, 0);
    wood.setColorAt(0, Ink::lightBrown);
    wood.setColorAt(1, Ink::brown);
    p.setBrush(wood);
    p.drawPath(door);
    p.setPen(Qt::NoPen);
    p.setBrush(Ink::lightGold);
    p.drawEllipse(QPointF(8.2, 13), 0.9, 0.9);
    // Way out.
    p.setPen(QPen(QColor(0x8a, 0x10, 0x10), 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Ink::lightRed);
    p.drawPolygon(QPolygonF{QPointF(11.5, 10.5), QPointF(17.5, 10.5), QPointF(17.5, 7.5), QPointF(22.5, 12.5),
                            QPointF(17.5, 17.5), QPointF(17.5, 14.5), QPointF(11.5, 14.5)});
    return img;
}

} // namespace

QList<QImage> toolbarIcons()
{
    return {save(), search(), spellCheck(), clone(), insertNew(), insertWait(), insertDelay(),
            insertOpcode(), insertClose(), insertSpace(), viewTranslated(), clean(), exitIcon()};
}
