#pragma once

#include "editor/preview.h"
#include "editor/renderer.h"

#include <QImage>
#include <QStringList>

// Images that make drawn pixels readable: every glyph cell of the code font
// is filled with a colour whose red part is the glyph's code, and every
// frame piece with a colour naming its strip slot, so a test reads back
// which glyph or piece landed where.
namespace TestImages {

inline QRgb glyphColour(int code)
{
    return qRgb(code, 0x40, 0x80);
}

inline QRgb pieceColour(int slot)
{
    return qRgb(0x11, 0x20 + 0x10 * slot, 0xf0);
}

inline QImage cells(int width, int height, QRgb (*colour)(int))
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y)
            image.setPixel(x, y, colour(x / 8));
    }
    return image;
}

inline QImage codeFont(int width = 2048)
{
    return cells(width, 11, glyphColour);
}

inline QImage pieceStrip()
{
    return cells(64, 8, pieceColour);
}

inline PreviewCanvas canvas(const QString &width = QStringLiteral("56"), const QString &height = QStringLiteral("2"))
{
    PreviewCanvas c;
    c.font = codeFont();
    c.frame = pieceStrip();
    c.currentWidth = width;
    c.currentHeight = height;
    clearPreview(c);
    return c;
}

// The glyph code whose whole cell stands at (x, y), or -1.
inline int glyphAt(const QImage &surface, int x, int y)
{
    const QRgb first = surface.pixel(x, y);
    if (qGreen(first) != 0x40 || qBlue(first) != 0x80)
        return -1;
    for (int dx = 0; dx < 8; ++dx) {
        for (int dy = 0; dy < 11; ++dy) {
            if (surface.pixel(x + dx, y + dy) != first)
                return -1;
        }
    }
    return qRed(first);
}

// The run of glyphs of one line from `column` on, as text of their codes.
inline QString lineAt(const QImage &surface, int column, int row)
{
    QString text;
    for (int x = column * 8, code = 0; x + 8 <= surface.width() && (code = glyphAt(surface, x, row)) >= 0; x += 8)
        text += QChar(char16_t(code));
    return text;
}

// Cells (0, 0) to (columns - 1, rows - 1) as lines of letters: 'A' to 'H'
// for strip slots 0 to 7, '.' for background, '?' for anything else.
inline QStringList pieceMap(const QImage &surface, int columns, int rows)
{
    QStringList map;
    for (int cellY = 0; cellY < rows; ++cellY) {
        QString line;
        for (int cellX = 0; cellX < columns; ++cellX) {
            const QRgb colour = surface.pixel(cellX * 8, cellY * 8);
            QImage cell(8, 8, QImage::Format_RGB32);
            cell.fill(colour);
            const bool whole = surface.copy(cellX * 8, cellY * 8, 8, 8) == cell;
            const int slot = (qGreen(colour) - 0x20) / 0x10;
            line += !whole ? u'?' : colour == PreviewLayout::Background ? u'.'
                : colour == pieceColour(slot) && slot >= 0 && slot < 8 ? QChar(u'A' + slot) : u'?';
        }
        map << line;
    }
    return map;
}

} // namespace TestImages
