#pragma once

#include "editor/preview.h"

// Internal to the editor library: the drawing state of one run, with the
// images' rows taken once so that a glyph costs a few row copies.
//
// Cells are copied, never blended: the target rectangle takes the source's
// pixels exactly, as the game's two-pass OR/AND copy ends up doing.
class PreviewPainter
{
public:
    enum class Piece { BarSupIzq, BarSupDer, BarInfIzq, BarInfDer, BarVerIzq, BarHorAr, BarVerDer, BarHorAb };

    explicit PreviewPainter(PreviewCanvas &canvas);

    bool glyph(qint16 code, qint16 row, qint16 column);
    bool piece(Piece piece, qint16 cellX, qint16 cellY);
    bool frame(qint16 w, qint16 n, qint16 row);
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
