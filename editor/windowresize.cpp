#include "editor/windowresize.h"

#include "store/blockedit.h"
#include "store/layout.h"
#include "store/numbers.h"

using namespace Qt::StringLiterals;

std::optional<ResizeKey> resizeKeyFor(int key, Qt::KeyboardModifiers modifiers)
{
    if ((modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) != Qt::AltModifier)
        return std::nullopt;
    switch (key) {
    case Qt::Key_Left:
        return ResizeKey::Left;
    case Qt::Key_Up:
        return ResizeKey::Up;
    case Qt::Key_Right:
        return ResizeKey::Right;
    case Qt::Key_Down:
        return ResizeKey::Down;
    default:
        return std::nullopt;
    }
}

bool isResizableTable(const QString &table)
{
    return table != ScriptTables::battlingArena && table != ScriptTables::battleScript;
}

WindowResize resizeWindow(const BlockAddress &block, const QString &width, const QString &height, ResizeKey key)
{
    WindowResize result{width, height, {}};
    if (!isResizableTable(block.table))
        return result;
    const auto w = parseInt16(width);
    const auto h = parseInt16(height);
    if (!w || !h)
        return result;

    std::optional<qint16> newWidth = *w;
    std::optional<qint16> newHeight = *h;
    switch (key) {
    case ResizeKey::Left:
        newWidth = *w > 0 ? add16(*w, -2) : std::nullopt;
        break;
    case ResizeKey::Right:
        newWidth = add16(*w, 2);
        break;
    case ResizeKey::Up:
        newHeight = *h > 0 ? add16(*h, -1) : std::nullopt;
        break;
    case ResizeKey::Down:
        newHeight = add16(*h, 1);
        break;
    }
    if (!newWidth || !newHeight)
        return result;

    // Both sizes are written back as plain whole numbers, so no other text
    // ever reaches the statement.
    result.width = QString::number(*newWidth);
    result.height = QString::number(*newHeight);
    result.statement = windowSizeStatement(block, *newWidth, *newHeight);
    return result;
}
