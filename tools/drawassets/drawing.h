#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QRectF>

// Colours shared by the icons, so the toolbar and the tree read as one set.
namespace Ink {
inline const QColor outline{0x2e, 0x34, 0x36};
inline const QColor paper{0xff, 0xff, 0xff};
inline const QColor paperShade{0xe4, 0xe7, 0xea};
inline const QColor line{0x9a, 0xa3, 0xad};
inline const QColor grey{0x88, 0x8a, 0x85};
inline const QColor lightGrey{0xd3, 0xd7, 0xcf};
inline const QColor blue{0x34, 0x65, 0xa4};
inline const QColor darkBlue{0x20, 0x4a, 0x87};
inline const QColor lightBlue{0x72, 0x9f, 0xcf};
inline const QColor green{0x4e, 0x9a, 0x06};
inline const QColor lightGreen{0x73, 0xd2, 0x16};
inline const QColor red{0xcc, 0x00, 0x00};
inline const QColor lightRed{0xef, 0x29, 0x29};
inline const QColor gold{0xed, 0xb4, 0x00};
inline const QColor lightGold{0xfc, 0xe9, 0x4f};
inline const QColor darkGold{0xa0, 0x70, 0x00};
inline const QColor orange{0xf5, 0x79, 0x00};
inline const QColor brown{0x8f, 0x59, 0x02};
inline const QColor lightBrown{0xc1, 0x7d, 0x11};
inline const QColor tagBlue{0x3a, 0x5f, 0x8f};
} // namespace Ink

// A transparent square canvas.
QImage canvas(int size);
// A painter with antialiasing, for the vector parts of an icon.
void smooth(QPainter &p);

// A sheet of paper with a folded top-right corner; lines > 0 draws text rules.
void drawPage(QPainter &p, const QRectF &r, int lines, qreal fold = 4.0);
// A check mark inside r.
void drawTick(QPainter &p, const QRectF &r, const QColor &colour, qreal width);
// A five-pointed star inside r.
QPainterPath starPath(const QRectF &r, qreal innerRatio = 0.45);

// The game's window frame strip: 64 x 8, eight 8 x 8 pieces.
QImage frameStrip();
// A window of cols x rows cells drawn from the strip the way the preview
// draws it, scaled up by `scale` with hard pixel edges.
void drawGameWindow(QPainter &p, QPoint topLeft, int cols, int rows, int scale, const QImage &strip);
// Text in the game's bitmap font (cell c at x = 8c of font.bmp), scaled.
void drawGameText(QPainter &p, QPoint topLeft, const QByteArray &cp1252, int scale, const QImage &font);

QList<QImage> treeIcons();     // 1..7
QList<QImage> toolbarIcons();  // 1..13
QImage splashPicture(const QImage &font);
QImage emblem(int size);
