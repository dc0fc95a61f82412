#pragma once

#include <QString>

// The dialogue window size of the open block (currentWidth, currentHeight),
// kept as the texts the store holds. Held once, by OpenBlock: set by loading
// a block and by the size reset, changed by Alt+arrows, read by the preview at
// every draw.
struct WindowSize
{
    QString width;
    QString height;
};
