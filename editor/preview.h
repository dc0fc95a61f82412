#pragma once

#include <QImage>
#include <QString>

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
