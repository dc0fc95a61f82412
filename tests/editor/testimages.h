#pragma once

#include "editor/preview.h"
#include "editor/renderer.h"

#include <QImage>
#include <QString>

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

inline QImage codeFont(int width = 2048)
{
    QImage font(width, 11, QImage::Format_RGB32);
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < 11; ++y)
            font.setPixel(x, y, glyphColour(x / 8));
    }
    return font;
}

inline QImage pieceStrip()
{
    QImage strip(64, 8, QImage::Format_RGB32);
    for (int x = 0; x < 64; ++x) {
        for (int y = 0; y < 8; ++y)
            strip.setPixel(x, y, pieceColour(x / 8));
    }
    return strip;
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
    for (int x = column * 8; x + 8 <= surface.width(); x += 8) {
        const int code = glyphAt(surface, x, row);
        if (code < 0)
            break;
        text += QChar(char16_t(code));
    }
    return text;
}

// The piece of the 8 x 8 cell (cellX, cellY) as its key letter: 'A' for
// strip slot 0 to 'H' for slot 7, '.' for background, '?' for anything else.
inline char pieceAt(const QImage &surface, int cellX, int cellY)
{
    const QRgb first = surface.pixel(cellX * 8, cellY * 8);
    for (int dx = 0; dx < 8; ++dx) {
        for (int dy = 0; dy < 8; ++dy) {
            if (surface.pixel(cellX * 8 + dx, cellY * 8 + dy) != first)
                return '?';
        }
    }
    if (first == PreviewLayout::Background)
        return '.';
    for (int slot = 0; slot < 8; ++slot) {
        if (first == pieceColour(slot))
            return char('A' + slot);
    }
    return '?';
}

// Cells (0, 0) to (columns - 1, rows - 1) as lines of piece letters.
inline QStringList pieceMap(const QImage &surface, int columns, int rows)
{
    QStringList map;
    for (int y = 0; y < rows; ++y) {
        QString line;
        for (int x = 0; x < columns; ++x)
            line += QLatin1Char(pieceAt(surface, x, y));
        map << line;
    }
    return map;
}

} // namespace TestImages
