#pragma once

#include "store/nodekey.h"

#include <QString>

#include <optional>

// Alt+arrow resizing of a block's dialogue window, without widgets: the
// caller runs the statement through its Database.
enum class ResizeKey { Left, Up, Right, Down };

// The resize key of a key press: an arrow with Alt and neither Shift nor Ctrl.
std::optional<ResizeKey> resizeKeyFor(int key, Qt::KeyboardModifiers modifiers);
// Only field blocks keep a size of their own.
bool isResizableTable(const QString &table);

struct WindowResize
{
    QString width;
    QString height;
    QString statement; // empty when nothing changed
};

// The sizes after one key, and the UPDATE that stores them. The sizes are
// whole numbers read as the preview reads them; Left and Up stop at 0, Right
// and Down stop where 16 bits end.
WindowResize resizeWindow(const BlockAddress &block, const QString &width, const QString &height, ResizeKey key);
