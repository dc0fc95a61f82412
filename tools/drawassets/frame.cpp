#include "drawing.h"

#include <QPainterPath>

namespace {

constexpr int piece = 8;

// Strip x of each piece by what it pictures. The order is the one the
// preview's piece table expects, not a tidy one: the bottom-left corner
// comes before the top-right corner.
enum Piece { TopLeft = 0, BottomLeft = 8, TopRight = 16, BottomRight = 24,
             LeftEdge = 32, TopEdge = 40, RightEdge = 48, BottomEdge = 56 };

// A 3 x 3 cell window drawn smooth; the strip's pieces are cut from it so
// that corners and edges meet without seams.
QImage smallWindow()
{
    QImage img(3 * piece, 3 * piece, QImage::Format_RGB32);
    // Outside a rounded corner is black like the inside: the preview copies
    // pieces as they are, and a black notch reads as the window's shadow.
    img.fill(Qt::black);
    QPainter p(&img);
    smooth(p);
    p.setPen(Qt::NoPen);
    struct Layer { int inset; qreal radius; QColor colour; };
    const Layer layers[] = {
        {0, 6.0, QColor(0xa4, 0xb2, 0xc8)},
        {1, 5.0, QColor(0xe4, 0xea, 0xf4)},
        {2, 4.0, QColor(0xc0, 0xcc, 0xde)},
        {3, 2.5, QColor(0x5a, 0x6a, 0x86)},
        {4, 0.5, Qt::black},
    };
    for (const Layer &l : layers) {
        p.setBrush(l.colour);
        const QRectF r = QRectF(img.rect()).adjusted(l.inset, l.inset, -l.inset, -l.inset);
        p.drawRoundedRect(r, l.radius, l.radius);
    }
    p.end();
    // Antialiasing leaves a faint haze in what should be black; snap it, so
    // that a piece's inside is exactly black.
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            if (qMax(qRed(c), qMax(qGreen(c), qBlue(c))) < 16)
                img.setPixel(x, y, qRgb(0, 0, 0));
        }
    }
    return img;
}

// The preview keeps the black outside a rounded corner; a picture with its
// own background looks better with it cut away. Flood from each outer
// corner through black pixels, staying inside that corner's piece.
void clearCornerNotches(QImage &win)
{
    const int w = win.width(), h = win.height();
    const QPoint corners[] = {{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}};
    for (const QPoint start : corners) {
        const QRect cell(start.x() < piece ? 0 : w - piece, start.y() < piece ? 0 : h - piece, piece, piece);
        QList<QPoint> todo{start};
        while (!todo.isEmpty()) {
            const QPoint at = todo.takeLast();
            if (!cell.contains(at) || win.pixel(at) != qRgb(0, 0, 0))
                continue;
            win.setPixel(at, qRgba(0, 0, 0, 0));
            todo << at + QPoint(1, 0) << at - QPoint(1, 0) << at + QPoint(0, 1) << at - QPoint(0, 1);
        }
    }
}

} // namespace

QImage frameStrip()
{
    const QImage src = smallWindow();
    QImage strip(8 * piece, piece, QImage::Format_RGB32);
    QPainter p(&strip);
    const struct { Piece at; int col; int row; } cuts[] = {
        {TopLeft, 0, 0}, {BottomLeft, 0, 2}, {TopRight, 2, 0}, {BottomRight, 2, 2},
        {LeftEdge, 0, 1}, {TopEdge, 1, 0}, {RightEdge, 2, 1}, {BottomEdge, 1, 2},
    };
    for (const auto &c : cuts)
        p.drawImage(QPoint(c.at, 0), src, QRect(c.col * piece, c.row * piece, piece, piece));
    return strip;
}

void drawGameWindow(QPainter &p, QPoint topLeft, int cols, int rows, int scale, const QImage &strip)
{
    QImage win(cols * piece, rows * piece, QImage::Format_ARGB32);
    win.fill(Qt::black);
    {
        QPainter w(&win);
        auto put = [&](Piece which, int x, int y) {
            w.drawImage(QPoint(x * piece, y * piece), strip, QRect(which, 0, piece, piece));
        };
        for (int x = 0; x < cols; ++x) {
            for (int y = 0; y < rows; ++y) {
                const bool left = x == 0, right = x == cols - 1, top = y == 0, bottom = y == rows - 1;
                if (left && top) put(TopLeft, x, y);
                else if (left && bottom) put(BottomLeft, x, y);
                else if (right && top) put(TopRight, x, y);
                else if (right && bottom) put(BottomRight, x, y);
                else if (left) put(LeftEdge, x, y);
                else if (right) put(RightEdge, x, y);
                else if (top) put(TopEdge, x, y);
                else if (bottom) put(BottomEdge, x, y);
            }
        }
    }
    clearCornerNotches(win);
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(QRect(topLeft, win.size() * scale), win);
    p.restore();
}

void drawGameText(QPainter &p, QPoint topLeft, const QByteArray &cp1252, int scale, const QImage &font)
{
    constexpr int cellW = 8, cellH = 11;
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // The font is light on black: Lighten drops the black cell background.
    p.setCompositionMode(QPainter::CompositionMode_Lighten);
    int x = topLeft.x();
    for (const char ch : cp1252) {
        const int code = static_cast<unsigned char>(ch);
        p.drawImage(QRect(x, topLeft.y(), cellW * scale, cellH * scale), font,
                    QRect(code * cellW, 0, cellW, cellH));
        x += cellW * scale;
    }
    p.restore();
}
