#pragma once

#include "editor/preview.h"

// Internal to the editor library: the drawing state of one run, with the
// images' rows taken once so that a glyph costs a few row copies.
//
// Cells are copied, never blended: the target rectangle takes the source's
// pixels exactly, as the game's two-pass OR/AND copy ends up doing. Every
// coordinate is signed 16-bit: a call whose pixel position would leave that
// range draws nothing and returns false, and showPreview ends its run there.
class PreviewPainter
{
public:
    // The frame pieces in strip order (piece i at strip x 8 x i), named by
    // where each is drawn.
    enum class Piece { TopLeft, BottomLeft, TopRight, BottomRight, LeftEdge, TopEdge, RightEdge, BottomEdge };

    explicit PreviewPainter(PreviewCanvas &canvas);

    bool glyph(qint16 code, qint16 row, qint16 column);
    bool piece(Piece piece, qint16 cellX, qint16 cellY);
    bool frame(qint16 w, qint16 n, qint16 row);
    // The window of the canvas's size with its top edge at 8 x (row + 1);
    // sets windowRows. A size that cannot be sized draws nothing, leaves
    // windowRows and returns true: the text is still drawn.
    bool window(qint16 row);

    // Converts to the surface's pixel format unless it already is (then the
    // copy is shallow).
    static QImage asSurfaceFormat(const QImage &image);
    // Copies the part of (sx, sy, w, h) that lies inside `source` to the
    // same offset from (dx, dy), clipped to `target`.
    static void copyCell(const QImage &source, int sx, int sy, int w, int h, QImage &target, int dx, int dy);

private:
    PreviewCanvas &m_canvas;
    QImage m_font;
    QImage m_frame;
};
