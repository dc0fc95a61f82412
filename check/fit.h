#pragma once

#include <QList>
#include <QString>

// Re-wraps a translation to its window by the game font's metrics, on the
// preview's own page flow: a page that overflows has its words re-broken
// into balanced lines and, when it holds more lines than the window, is cut
// into pages; a page that fits is never touched.

// Where a fitted text still overflows. `line` is 1-based within the page;
// for a page with too many lines it is the first line past the window and
// `excess` counts lines, otherwise `excess` counts glyphs past the width.
struct FitOverflow
{
    int page = 0; // 1-based
    int line = 0;
    int excess = 0;
    bool tooManyLines = false;

    friend bool operator==(const FitOverflow &, const FitOverflow &) = default;
};

struct FitResult
{
    QString text;
    bool changed = false;
    QList<FitOverflow> overflow; // of `text`
};

// `width` and `height` as the block's header gives them. A size that draws
// no window, or a text with an unterminated tag, is returned unchanged.
FitResult fitToWindow(const QString &translation, const QString &width, const QString &height);

// What still overflows in `text` at that size, in page and line order.
QList<FitOverflow> remainingOverflow(const QString &text, const QString &width, const QString &height);

// "Page 2, line 3: 5 glyphs past the width." for each, in one sentence line.
QString describeOverflow(const QList<FitOverflow> &overflow);
