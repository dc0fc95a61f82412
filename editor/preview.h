#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include <vector>

// Drawing the game's dialogue windows: pure functions over in-memory images,
// no widgets. The window shows `surface`; the guide lines are not part of it.
struct PreviewCanvas
{
    static constexpr int Width = 601;
    static constexpr int Height = 968;

    QImage surface;      // picPreview, Width x Height
    QImage font;         // picFont: 8 x 11 cells in one row, cell c for code c
    QImage frame;        // picWindow: the 64 x 8 frame-piece strip
    QString currentWidth;  // the open block's window size, as texts
    QString currentHeight;
    qint16 windowRows = 0; // rows of the last window drawn; kept between runs
};

// Clears the surface to the preview's background.
void clearPreview(PreviewCanvas &canvas);
// Draws `text` page by page (the callers clear before and show after).
void showPreview(const QString &text, PreviewCanvas &canvas);
// The built-in frame-piece strip.
QImage defaultFrameStrip();

// What the surface shows, as the windows and glyphs drawn on the background
// in drawing order, so that the next text redraws only where it differs.
struct PreviewDrawing
{
    struct Item
    {
        QRect bounds;         // every pixel the item may write
        qint16 code = 0;      // glyph cell; for a window, its columns
        qint16 rows = -1;     // a window's rows; -1 for a glyph
        qint16 row = 0;       // a window's row, as the flow reports it
        bool operator==(const Item &) const = default;
    };
    std::vector<Item> items;
    bool valid = false; // false: the surface must be cleared and drawn whole
    // The drawing before `items`, kept only for its buffer: the next drawing
    // fills it instead of growing a new one on every key.
    std::vector<Item> spare;
};

// Brings the surface to what clearPreview and showPreview of `text` give,
// clearing and redrawing only the rectangle where the drawing differs from
// `drawn` (grown until no item drawn crosses its edge, so that what lies
// outside keeps the same items in the same order). Returns that rectangle;
// `drawn` then holds the new drawing.
QRect updatePreview(const QString &text, PreviewCanvas &canvas, PreviewDrawing &drawn);
