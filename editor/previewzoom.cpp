#include "editor/previewzoom.h"

#include <QtMath>

#include <algorithm>

namespace PreviewZoom {

int clampFactor(int factor)
{
    return std::clamp(factor, MinimumFactor, MaximumFactor);
}

int devicePixelsPerGamePixel(int factor, qreal devicePixelRatio)
{
    return std::max(1, qRound(clampFactor(factor) * devicePixelRatio));
}

qreal logicalScale(int factor, qreal devicePixelRatio)
{
    return devicePixelsPerGamePixel(factor, devicePixelRatio) / devicePixelRatio;
}

QSize widgetSize(QSize game, int factor, qreal devicePixelRatio)
{
    const qreal scale = logicalScale(factor, devicePixelRatio);
    return {qCeil(game.width() * scale - 1e-9), qCeil(game.height() * scale - 1e-9)};
}

int toGame(int logical, int factor, qreal devicePixelRatio)
{
    return qFloor(logical / logicalScale(factor, devicePixelRatio) + 1e-9);
}

int toLogical(int game, int factor, qreal devicePixelRatio)
{
    return qRound(game * logicalScale(factor, devicePixelRatio));
}

QRect gameRect(const QRect &logical, QSize game, int factor, qreal devicePixelRatio)
{
    const qreal scale = logicalScale(factor, devicePixelRatio);
    const int left = qFloor(logical.left() / scale + 1e-9);
    const int top = qFloor(logical.top() / scale + 1e-9);
    // One past the rectangle's last logical pixel, as a game position.
    const int right = qCeil((logical.right() + 1) / scale - 1e-9);
    const int bottom = qCeil((logical.bottom() + 1) / scale - 1e-9);
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)).intersected(QRect(QPoint(0, 0), game));
}

int wheelSteps(int angleDelta, int *remainder)
{
    const int total = angleDelta + *remainder;
    const int steps = total / WheelNotch; // toward zero: a half notch either way waits
    *remainder = total - steps * WheelNotch;
    return steps;
}

} // namespace PreviewZoom
