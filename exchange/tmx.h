#pragma once

#include "exchange/exchangeblock.h"

#include <QByteArray>

#include <utility>
#include <vector>

// TMX 1.4: the store's translated blocks as translation units (English and
// Spanish), each with its block's key as an "x-block" property.
QByteArray writeTmx(const std::vector<ExchangeBlock> &blocks);

struct TmxRead
{
    // Original and translation as the editors show them (CR LF).
    std::vector<std::pair<QString, QString>> pairs;
    int skipped = 0; // units without both an English and a Spanish text
};
// Languages are matched by their main subtag: "en-US" is English, "es-ES" Spanish.
Result<TmxRead> readTmx(const QByteArray &bytes);
