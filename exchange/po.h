#pragma once

#include "exchange/exchangeblock.h"

#include <QByteArray>
#include <QString>

#include <map>

// gettext PO, one file per script: msgctxt = the block's key, msgid the
// original, msgstr the translation, the window as an extracted comment
// ("#. window 24x2"), the comment as translator comments ("# "), "fuzzy"
// for a translation not yet Revised. Lines break as "\n"; the import
// restores CR LF. A block with an empty original is left out: an empty
// msgid names the header.

// File name (the script's, ".po" added) to contents, in UTF-8.
std::map<QString, QByteArray> writePoFiles(const std::vector<ExchangeBlock> &blocks);
QString poFileName(const BlockAddress &address);

struct PoRead
{
    std::vector<ExchangeUnit> units;
};
Result<PoRead> readPo(const QByteArray &bytes);
