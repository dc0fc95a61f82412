#pragma once

#include "editor/preview.h"

#include <optional>

// The preview's geometry: cell sizes, where text and guides stand, how a
// block size becomes a window, and the scroll range.

namespace PreviewLayout {
constexpr int CellSize = 8;     // frame pieces and text columns
constexpr int GlyphWidth = 8;
constexpr int GlyphHeight = 11;
constexpr int LinePitch = 15;
constexpr int FirstColumn = 2;
constexpr int FirstLineTop = 14;
constexpr int Guide28X = 240;
constexpr int Guide32X = 288;
constexpr int ScrollStep = 8;   // pixels per VScroll1 unit
constexpr int ScrollLargeChange = 15;
constexpr QRgb Background = 0xff000000; // matches the pieces' black insides
} // namespace PreviewLayout

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

// VScroll1's maximum for a container whose inner height is given in pixels.
int previewScrollMaximum(int containerInnerHeight);
