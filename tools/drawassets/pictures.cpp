// The splash picture and the emblem (About window and window icon).
#include "drawing.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainterPath>
#include <QRandomGenerator>

namespace {

// A quill lying from its nib at (0, 0) up and to the right along +x.
void drawQuill(QPainter &p, qreal length)
{
    const qreal w = length * 0.17;
    QPainterPath vane;
    vane.moveTo(length * 0.18, 0);
    vane.cubicTo(length * 0.45, -w * 1.4, length * 0.85, -w * 1.2, length, -w * 0.15);
    vane.cubicTo(length * 0.8, w * 0.35, length * 0.45, w * 0.9, length * 0.18, 0);
    QLinearGradient g(0, -w, 0, w);
    g.setColorAt(0, QColor(0xff, 0xf6, 0xd8));
    g.setColorAt(1, QColor(0xe0, 0xb8, 0x60));
    p.setPen(QPen(QColor(0x8a, 0x60, 0x10), length * 0.018));
    p.setBrush(g);
    p.drawPath(vane);
    // Barbs.
    p.setPen(QPen(QColor(0xb8, 0x8c, 0x30, 170), length * 0.012));
    for (int i = 1; i < 6; ++i) {
        const qreal x = length * (0.3 + i * 0.11);
        p.drawLine(QPointF(x, -length * 0.004 * i), QPointF(x + length * 0.06, -w * 0.9));
    }
    // Shaft and nib.
    p.setPen(QPen(QColor(0x6a, 0x48, 0x10), length * 0.028, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(length * 0.08, 0), QPointF(length * 0.97, -w * 0.12));
    QPainterPath nib;
    nib.moveTo(0, 0);
    nib.lineTo(length * 0.12, -w * 0.22);
    nib.lineTo(length * 0.12, w * 0.22);
    nib.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x30, 0x30, 0x38));
    p.drawPath(nib);
}

} // namespace

QImage emblem(int size)
{
    QImage img = canvas(size);
    QPainter p(&img);
    smooth(p);
    p.scale(size / 128.0, size / 128.0);
    // A game dialogue window: light bluish-grey rim, shaded inside, dark pane.
    const QRectF win(4, 22, 108, 100);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawRoundedRect(win.translated(2, 3), 16, 16);
    p.setBrush(QColor(0x9c, 0xab, 0xc4));
    p.drawRoundedRect(win, 16, 16);
    p.setBrush(QColor(0xe6, 0xec, 0xf6));
    p.drawRoundedRect(win.adjusted(3, 3, -3, -3), 13, 13);
    p.setBrush(QColor(0x6c, 0x7c, 0x98));
    p.drawRoundedRect(win.adjusted(7, 7, -7, -7), 9, 9);
    QLinearGradient pane(0, win.top(), 0, win.bottom());
    pane.setColorAt(0, QColor(0x1a, 0x24, 0x3c));
    pane.setColorAt(1, QColor(0x06, 0x08, 0x10));
    p.setBrush(pane);
    p.drawRoundedRect(win.adjusted(9, 9, -9, -9), 7, 7);
    // Lines of text, the last one still being written.
    p.setBrush(QColor(0xe8, 0xec, 0xf4));
    p.drawRoundedRect(QRectF(22, 44, 62, 9), 4.5, 4.5);
    p.drawRoundedRect(QRectF(22, 64, 52, 9), 4.5, 4.5);
    p.setBrush(QColor(0xf0, 0xc0, 0x50));
    p.drawRoundedRect(QRectF(22, 84, 30, 9), 4.5, 4.5);
    // The quill that writes it, nib at the end of the last line; its
    // feather leaves the window at the top right.
    p.translate(54, 94);
    p.rotate(-50);
    drawQuill(p, 100);
    return img;
}

QImage splashPicture(const QImage &font)
{
    const int w = 480, h = 270;
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    smooth(p);
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(0x1c, 0x28, 0x48));
    sky.setColorAt(1, QColor(0x08, 0x0c, 0x18));
    p.fillRect(img.rect(), sky);
    // Candlelight behind the title.
    QRadialGradient glow(QPointF(w / 2.0, 70), 190);
    glow.setColorAt(0, QColor(0xf0, 0xb0, 0x40, 70));
    glow.setColorAt(1, QColor(0xf0, 0xb0, 0x40, 0));
    p.fillRect(img.rect(), glow);
    // A few fixed stars; the seed keeps the picture the same on every run.
    QRandomGenerator rng(1998);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 60; ++i) {
        const QPointF at(rng.bounded(w), rng.bounded(140));
        const int a = 40 + rng.bounded(120);
        p.setBrush(QColor(0xd8, 0xe0, 0xff, a));
        p.drawEllipse(at, 0.8, 0.8);
    }

    QFont title(QStringLiteral("DejaVu Serif"));
    title.setPixelSize(58);
    title.setBold(true);
    const QString name = QStringLiteral("Tallowpen");
    QPainterPath text;
    const qreal tw = QFontMetricsF(title).horizontalAdvance(name);
    text.addText(QPointF((w - tw) / 2, 86), title, name);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 140));
    p.drawPath(text.translated(2, 3));
    QLinearGradient goldText(0, 40, 0, 90);
    goldText.setColorAt(0, QColor(0xff, 0xf0, 0xb8));
    goldText.setColorAt(0.55, QColor(0xf0, 0xc0, 0x50));
    goldText.setColorAt(1, QColor(0xb0, 0x70, 0x10));
    p.setPen(QPen(QColor(0x50, 0x30, 0x08), 1.2));
    p.setBrush(goldText);
    p.drawPath(text);

    QFont sub(QStringLiteral("DejaVu Sans"));
    sub.setPixelSize(15);
    sub.setLetterSpacing(QFont::AbsoluteSpacing, 2.0);
    p.setFont(sub);
    p.setPen(QColor(0xb8, 0xc6, 0xdc));
    p.drawText(QRect(0, 98, w, 22), Qt::AlignCenter, QStringLiteral("Script translation editor"));

    // A dialogue window as the game draws it, twice the size.
    const int scale = 2, cols = 26, rows = 6;
    const QPoint at((w - cols * 8 * scale) / 2, 146);
    drawGameWindow(p, at, cols, rows, scale, frameStrip());
    drawGameText(p, at + QPoint(16 * scale, 11 * scale), QByteArrayLiteral("Welcome, traveller!"), scale, font);
    drawGameText(p, at + QPoint(16 * scale, 26 * scale), QByteArrayLiteral("Shall we begin?"), scale, font);
    // The "more text" marker at the window's lower right.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf0, 0xc0, 0x50));
    const QPoint m = at + QPoint((cols - 2) * 8 * scale - 4, (rows - 1) * 8 * scale - 14);
    p.drawPolygon(QPolygon{m, m + QPoint(10, 0), m + QPoint(5, 6)});
    return img;
}
