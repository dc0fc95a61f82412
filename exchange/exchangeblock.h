#pragma once

#include "store/nodekey.h"
#include "store/result.h"

#include <QString>

class QXmlStreamReader;

#include <vector>

// One block as the exchange formats carry it. Texts as the editors show them
// (apostrophes, lines separated by CR LF).
struct ExchangeBlock
{
    BlockAddress address;
    QString original;
    QString translation; // empty while not translated
    QString comment;
    bool translated = false;
    bool revised = false;
    int width = 0; // the window the block shows in: the chosen size, else the script's
    int height = 0;
};

// Which blocks an export takes.
struct ExchangeScope
{
    QString folder; // a table name; empty: every table
    QString script; // a file name; empty: every script
    bool onlyUntranslated = false;
};

struct ExchangeBlocks
{
    std::vector<ExchangeBlock> blocks; // by table, script and number
};

class Database;
Result<ExchangeBlocks> readExchangeBlocks(Database &db, const ExchangeScope &scope);

// A script as the formats name it: "field/0012.txt"; the table before the
// first "/", the file name after it.
QString scriptPath(const BlockAddress &address);
bool splitScriptPath(const QString &path, QString *table, QString *fileName);

// Texts outside use LF alone; the store keeps CR LF.
QString withLf(QString text);
QString withCrLfRestored(const QString &text);

// The text of the element the reader has just entered (an XLIFF <source>,
// a TMX <seg>), inline codes' content included, line breaks as the store
// keeps them; the reader is left on its end.
QString readElementText(QXmlStreamReader &xml);

// One translation a file brings back, matched to its block by script and number.
struct ExchangeUnit
{
    BlockAddress address;
    QString source; // as shown (CR LF)
    QString target; // as shown (CR LF); empty when the file holds none
    bool hasTarget = false;
    bool revised = false; // "final" in XLIFF; PO has no such mark
    int line = 0;         // where it stands in its file, for reports
};
