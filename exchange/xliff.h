#pragma once

#include "exchange/exchangeblock.h"

#include <QByteArray>

// XLIFF 1.2: one <file> per script, one <trans-unit> per block (id = the
// block's number, resname = its key), the window as maxwidth and a
// <context-group>, the comment as a <note>. The game's tags stay in the
// text as <ph> codes whose content is the tag itself: a reader that knows
// inline codes protects them, one that does not still shows them.
QByteArray writeXliff(const std::vector<ExchangeBlock> &blocks);

struct XliffRead
{
    std::vector<ExchangeUnit> units;
};
Result<XliffRead> readXliff(const QByteArray &bytes);
