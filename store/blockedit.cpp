#include "store/blockedit.h"

#include "store/layout.h"
#include "store/numbers.h"
#include "store/storetext.h"
#include "store/translationstatus.h"

using namespace Qt::StringLiterals;

namespace {

bool isOne(const QVariant &value)
{
    return value.toLongLong() == 1;
}

// A stored number as the loader holds it: 16 bits, NULL as 0.
std::optional<qint16> int16Of(const QVariant &value)
{
    if (value.isNull())
        return qint16(0);
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    if (!ok)
        return parseInt16(value.toString());
    if (number < -32768 || number > 32767)
        return std::nullopt;
    return qint16(number);
}

QString whereBlock(const BlockAddress &address)
{
    return u" WHERE file_name = "_s + storeLiteral(address.fileName) + u" AND dialogue_id = "_s
        + QString::number(address.number) + u';';
}

// What every load of a block shows, whatever the store gave.
BlockLoad addressedLoad(const BlockAddress &at)
{
    BlockLoad load;
    load.address = at;
    load.revisedEnabled = true;
    load.caption = u"["_s + at.table + u"] - ["_s + at.fileName + u"] - ["_s + QString::number(at.number) + u']';
    return load;
}

} // namespace

QString blockSelectStatement(const BlockAddress &address)
{
    return u"SELECT * FROM "_s + address.table + whereBlock(address);
}

QString windowSizeStatement(const BlockAddress &address, qint16 width, qint16 height)
{
    return u"UPDATE "_s + address.table + u" SET new_width = "_s + QString::number(width) + u", new_height = "_s
        + QString::number(height) + whereBlock(address);
}

BlockLoad loadBlock(Database &db, const QString &key)
{
    const auto address = parseBlockKey(key);
    if (!address)
        return {};
    Result<ResultSet> rows = db.query(blockSelectStatement(*address));
    if (!rows.ok()) {
        BlockLoad load = addressedLoad(*address);
        load.outcome = BlockLoad::Outcome::Failed;
        load.message = u"Block %1 of %2 could not be read from the database (%3). Nothing was changed."_s.arg(
            QString::number(address->number), address->fileName, rows.error().message);
        return load;
    }
    std::vector<BlockRow> read;
    while (rows->next()) {
        BlockRow &row = read.emplace_back();
        for (int column = 0; column < int(row.size()); ++column)
            row[size_t(column)] = rows->value(column);
    }
    return blockLoadOf(key, read);
}

BlockLoad blockLoadOf(const QString &key, const std::vector<BlockRow> &rows)
{
    const auto address = parseBlockKey(key);
    if (!address)
        return {};
    BlockLoad load = addressedLoad(*address);
    if (rows.size() > 1) {
        load.outcome = BlockLoad::Outcome::Duplicate;
        load.message = DuplicateRecordsMessage;
        return load;
    }

    load.outcome = BlockLoad::Outcome::Loaded;
    load.editorsEnabled = true;
    load.selectedImage = 6;
    for (const BlockRow &row : rows) {
        const auto text = [&row](int column) { return row[size_t(column)].toString(); };
        // A width past 16 bits is no size of the translator's: the block still opens.
        const qint16 newWidth = int16Of(row[ColNewWidth]).value_or(0);
        load.original = fromStoreText(text(ColTextData));
        const bool revised = isOne(row[ColRevised]);
        const bool translated = isOne(row[ColTranslated]);
        load.revised = revised;
        load.revisedEnabled = revised;
        if (revised)
            load.nodeImage = 7;
        load.hasSize = true;
        if (newWidth < 1) {
            load.currentWidth = text(ColWidth);
            load.currentHeight = text(ColHeight);
        } else {
            load.currentWidth = text(ColNewWidth);
            load.currentHeight = text(ColNewHeight);
        }
        if (translated) {
            load.translation = fromStoreText(text(ColTextDataT));
            load.revisedEnabled = true;
        }
        const QString comments = text(ColComments);
        if (!comments.isEmpty())
            load.comment = fromStoreText(comments);
        load.stored = BlockSnapshot{key, text(ColTextDataT), comments, translated, revised};
    }
    return load;
}

QString blockUpdateStatement(const BlockAddress &address, const QString &storedTranslation,
                             const QString &storedComment, bool revised)
{
    const QString translated = storedTranslation.isEmpty() ? u"0"_s : u"1"_s;
    return u"UPDATE "_s + address.table + u" SET text_data_t = "_s + storeLiteral(storedTranslation)
        + u", comments = "_s + storeLiteral(storedComment) + u", translated = "_s + translated + u", revised = "_s
        + (revised ? u"1"_s : u"0"_s) + whereBlock(address);
}

QString commentMarkerText(const QString &nodeText, const QString &comment, qint16 number)
{
    const bool marked = nodeText.contains(u"[c]"_s);
    if (!marked && !comment.isEmpty())
        return nodeText + u"[c]"_s;
    if (marked && comment.isEmpty())
        return QString::number(number);
    return nodeText;
}

std::optional<QString> currentStatusLine(Database &db)
{
    const Result<TranslationCount> count = translationPercent(db);
    if (!count || !count->hasBlocks())
        return std::nullopt;
    return statusLine(count->percent());
}

WindowSizeReset resetWindowSize(Database &db, const QString &key)
{
    WindowSizeReset reset;
    const auto address = parseBlockKey(key);
    if (!address || address->table == ScriptTables::battlingArena || address->table == ScriptTables::battleScript)
        return reset;
    reset.fieldBlock = true;
    // Passed over when it fails (see the header): the size read below shows what the block holds.
    static_cast<void>(db.execute(u"UPDATE "_s + address->table + u" SET new_width = 0, new_height = 0"_s
                                 + whereBlock(*address)));
    Result<ResultSet> rows = db.query(blockSelectStatement(*address));
    while (rows && rows->next()) {
        reset.hasSize = true;
        reset.currentWidth = rows->text(ColWidth);
        reset.currentHeight = rows->text(ColHeight);
    }
    return reset;
}
