#pragma once

#include <QRect>
#include <QSize>

// The preview's zoom: the surface stays PreviewCanvas::Width x Height game
// pixels, and each game pixel is shown as a square of whole device pixels,
// so the 8-pixel font stays crisp at every factor and on every screen.
namespace PreviewZoom {

constexpr int MinimumFactor = 1;
constexpr int MaximumFactor = 4;
// One notch of a common mouse wheel, in QWheelEvent's eighths of a degree.
constexpr int WheelNotch = 120;

int clampFactor(int factor);

// Device pixels per game pixel at `factor` on a screen of `devicePixelRatio`:
// the nearest whole number, never below one. A whole ratio gives exactly
// factor x ratio; a fractional one (1.25, 1.5) rounds rather than blurs.
int devicePixelsPerGamePixel(int factor, qreal devicePixelRatio);

// Logical pixels per game pixel: what the widget's size and the scrolling use.
qreal logicalScale(int factor, qreal devicePixelRatio);

// The widget's logical size for a surface of `game` pixels, rounded up so the
// last game pixel is never cut.
QSize widgetSize(QSize game, int factor, qreal devicePixelRatio);
// A logical position over the surface as a game pixel (rounded down).
int toGame(int logical, int factor, qreal devicePixelRatio);
// A logical position of a game pixel's edge (rounded to the nearest).
int toLogical(int game, int factor, qreal devicePixelRatio);
// The game pixels any part of which lies in `logical`: what a paint of that
// rectangle has to draw, clipped to `game`.
QRect gameRect(const QRect &logical, QSize game, int factor, qreal devicePixelRatio);

// Whole wheel notches in `angleDelta` plus what a touchpad left over before;
// the remainder is kept for the next event so slow scrolling still zooms.
int wheelSteps(int angleDelta, int *remainder);

} // namespace PreviewZoom
