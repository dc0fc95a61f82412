#pragma once

#include "store/database.h"

#include <QString>

// How much of the corpus is translated, over all blocks of the three script
// tables. Counts are 64-bit: a store may hold more than 32,767 blocks and
// still deserves its true percentage.
struct [[nodiscard]] TranslationCount
{
    qint64 blocks = 0;
    qint64 translated = 0;

    bool hasBlocks() const { return blocks > 0; }
    // Only meaningful with hasBlocks(): there is no share of nothing.
    int percent() const;
};

// The six COUNT(*) statements, through execute, in their fixed order; the
// failure of the first that fails.
Result<TranslationCount> translationPercent(Database &db);

// done / total as a whole percentage, halves to the even neighbour
// (37.5 gives 38, 12.5 gives 12). total must be positive.
int percentOf(qint64 done, qint64 total);

// ">Translation status: 38% translated", as the status line shows it.
QString statusLine(int percent);
