#pragma once

#include "editor/preview.h"

#include <QStringView>

#include <optional>

// The drawing primitives under showPreview. Every coordinate is signed
// 16-bit: a call whose pixel position would leave that range draws nothing
// and returns false, and showPreview ends its run there.

namespace PreviewLayout {
constexpr int CellSize = 8;     // frame pieces and text columns
constexpr int GlyphWidth = 8;   // glyphWidth
constexpr int GlyphHeight = 11; // glyphHeight
constexpr int LinePitch = 15;
constexpr int FirstColumn = 2;
constexpr int FirstLineTop = 14;
constexpr int Guide28X = 240;
constexpr int Guide32X = 288;
constexpr int ScrollStep = 8;   // pixels per VScroll1 unit
constexpr int ScrollLargeChange = 15;
constexpr QRgb Background = 0xff000000; // matches the pieces' black insides
} // namespace PreviewLayout

// The strip x of a frame piece key; nullopt for a key not in the table.
std::optional<int> pieceStripX(QStringView key);

struct WindowGeometry
{
    qint16 columns = 0; // w
    qint16 rows = 0;    // n = 2 x height + 1
};
// The window a block size asks for; nullopt when it cannot be sized: the
// height is not a whole number from 1 to 200, or the width gives more
// columns than 16-bit pixel positions can reach.
std::optional<WindowGeometry> windowGeometry(const QString &width, const QString &height);
// Whether every cell of a w x n window at `row` has a 16-bit pixel position.
bool windowFits16(qint16 w, qint16 n, qint16 row);

bool drawGlyph(qint16 ascii, qint16 row, qint16 column, qint16 glyphWidth, qint16 glyphHeight,
               const QImage &picSource, QImage &PicTarget);
bool showPiece(QStringView key, qint16 cellX, qint16 cellY, PreviewCanvas &canvas);
bool drawFrame(qint16 w, qint16 n, qint16 row, PreviewCanvas &canvas);
// Draws the window of the canvas's size with its top edge at 8 x (row + 1)
// and sets windowRows. A size that cannot be sized draws nothing, leaves
// windowRows and returns true: the text is still drawn.
bool drawWindow(qint16 windowRow, PreviewCanvas &canvas);

// VScroll1's maximum for a container whose inner height is given in pixels.
int previewScrollMaximum(int containerInnerHeight);
