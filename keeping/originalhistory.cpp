#include "keeping/originalhistory.h"

#include "store/database.h"
#include "keeping/history.h"
#include "store/layout.h"
#include "store/storetext.h"

#include <map>

using namespace Qt::StringLiterals;

namespace {

QString whereBlock(const BlockAddress &address)
{
    return u" WHERE block_table = "_s + storeLiteral(address.table) + u" AND file_name = "_s
        + storeLiteral(address.fileName) + u" AND dialogue_id = "_s + QString::number(address.number);
}

QString number(qint64 value)
{
    return QString::number(value);
}

} // namespace

RemovedBlock removedBlockOf(const ResultSet &row, const BlockAddress &address)
{
    RemovedBlock block;
    block.address = address;
    block.textData = row.text(ColTextData);
    block.width = row.value(ColWidth).toLongLong();
    block.height = row.value(ColHeight).toLongLong();
    block.comments = row.text(ColComments);
    block.translated = row.value(ColTranslated).toLongLong() == 1;
    block.revised = row.value(ColRevised).toLongLong() == 1;
    block.textDataT = row.text(ColTextDataT);
    block.newWidth = row.value(ColNewWidth).toLongLong();
    block.newHeight = row.value(ColNewHeight).toLongLong();
    return block;
}

QString rowInsertStatement(const RemovedBlock &row)
{
    // The texts are kept as the store holds them: no apostrophe is left in them.
    return u"INSERT INTO "_s + row.address.table
        + u" (file_name,dialogue_id,text_data,width,height,comments,translated,revised,text_data_t,"
          "new_width,new_height) VALUES ("_s
        + storeLiteral(row.address.fileName) + u", "_s + number(row.address.number) + u", "_s
        + storeLiteral(row.textData) + u", "_s + number(row.width) + u", "_s + number(row.height) + u", "_s
        + storeLiteral(row.comments) + u", "_s + (row.translated ? u"1"_s : u"0"_s) + u", "_s
        + (row.revised ? u"1"_s : u"0"_s) + u", "_s + storeLiteral(row.textDataT) + u", "_s + number(row.newWidth)
        + u", "_s + number(row.newHeight) + u");"_s;
}

Result<Done> keepOriginalUpdate(const QString &storePath, const std::vector<OriginalChange> &changes,
                                const std::vector<RemovedBlock> &removed, const QDateTime &run)
{
    if (changes.empty() && removed.empty())
        return Done{};
    const Result<Database *> opened = historyStore(storePath, true);
    if (!opened)
        return Failure{u"%1 cannot be opened (%2)."_s.arg(HistoryFileName, opened.error().message), {}};
    Database *history = *opened;
    const QString time = number(run.toMSecsSinceEpoch());
    bool ok = history->begin().ok();
    for (const OriginalChange &change : changes) {
        if (!ok)
            break;
        const BlockAddress &a = change.address;
        // A newer update closes the marks an older one left on the block.
        ok = history->execute(u"UPDATE original_history SET open = 0"_s + whereBlock(a)).ok()
            && history->execute(
                u"INSERT INTO original_history (replaced_at, block_table, file_name, dialogue_id, old_original, "
                "new_original, open) VALUES ("_s
                + time + u", "_s + storeLiteral(a.table) + u", "_s + storeLiteral(a.fileName) + u", "_s
                + number(a.number) + u", "_s + storeLiteral(change.oldOriginal) + u", "_s
                + storeLiteral(change.newOriginal) + u", 1)"_s);
    }
    for (const RemovedBlock &block : removed) {
        if (!ok)
            break;
        const BlockAddress &a = block.address;
        ok = history->execute(
            u"INSERT INTO removed_block (removed_at, block_table, file_name, dialogue_id, text_data, width, height, "
            "comments, translated, revised, text_data_t, new_width, new_height) VALUES ("_s
            + time + u", "_s + storeLiteral(a.table) + u", "_s + storeLiteral(a.fileName) + u", "_s + number(a.number)
            + u", "_s + storeLiteral(block.textData) + u", "_s + number(block.width) + u", "_s + number(block.height)
            + u", "_s + storeLiteral(block.comments) + u", "_s + (block.translated ? u"1"_s : u"0"_s) + u", "_s
            + (block.revised ? u"1"_s : u"0"_s) + u", "_s + storeLiteral(block.textDataT) + u", "_s
            + number(block.newWidth) + u", "_s + number(block.newHeight) + u')').ok();
    }
    if (ok && history->commit())
        return Done{};
    const QString why = history->lastError().message;
    history->abandon();
    return Failure{u"The replaced originals could not be kept in %1 (%2)."_s.arg(HistoryFileName, why), {}};
}

void forgetOriginalUpdate(const QString &storePath, const QDateTime &run)
{
    // Best effort: what stays behind only marks blocks the user can unmark.
    if (const Result<Database *> history = historyStore(storePath, false); history && *history) {
        const QString time = number(run.toMSecsSinceEpoch());
        static_cast<void>((*history)->execute(u"DELETE FROM original_history WHERE replaced_at = "_s + time));
        static_cast<void>((*history)->execute(u"DELETE FROM removed_block WHERE removed_at = "_s + time));
    }
}

std::optional<QString> changedOriginal(const QString &storePath, const BlockAddress &address,
                                       const QString &current)
{
    const Result<Database *> opened = historyStore(storePath, false);
    if (!opened || !*opened)
        return std::nullopt;
    Database *history = *opened;
    Result<ResultSet> rows = history->query(u"SELECT old_original, new_original FROM original_history"_s + whereBlock(address)
                                    + u" AND open = 1 ORDER BY id DESC LIMIT 1"_s);
    if (!rows.ok() || !rows->next() || rows->text(1) != current)
        return std::nullopt;
    return rows->text(0);
}

Result<QHash<QString, OriginalChange>> changedOriginals(const QString &storePath)
{
    QHash<QString, OriginalChange> marks;
    const Result<Database *> opened = historyStore(storePath, false);
    if (!opened)
        return opened.error();
    Database *history = *opened;
    if (!history)
        return marks;
    Result<ResultSet> rows = history->query(u"SELECT block_table, file_name, dialogue_id, old_original, new_original "
                                    "FROM original_history WHERE open = 1 ORDER BY id"_s);
    if (!rows)
        return rows.error();
    while (rows->next()) {
        const BlockAddress address{rows->text(0), rows->text(1), qint16(rows->value(2).toLongLong())};
        marks.insert(blockKey(address.table, address.fileName, address.number),
                     {address, rows->text(3), rows->text(4)});
    }
    return marks;
}

void closeOriginalMark(const QString &storePath, const BlockAddress &address)
{
    // Best effort: a mark left open only shows the change once more.
    if (const Result<Database *> history = historyStore(storePath, false); history && *history)
        static_cast<void>(
            (*history)->execute(u"UPDATE original_history SET open = 0"_s + whereBlock(address) + u" AND open = 1"_s));
}

namespace {

const QString RemovedColumns = u"SELECT id, removed_at, block_table, file_name, dialogue_id, text_data, width, "
                               "height, comments, translated, revised, text_data_t, new_width, new_height "
                               "FROM removed_block WHERE restored = 0"_s;

RemovedBlock removedFrom(const ResultSet &rows)
{
    RemovedBlock block;
    block.id = rows.value(0).toLongLong();
    block.time = QDateTime::fromMSecsSinceEpoch(rows.value(1).toLongLong());
    block.address = {rows.text(2), rows.text(3), qint16(rows.value(4).toLongLong())};
    block.textData = rows.text(5);
    block.width = rows.value(6).toLongLong();
    block.height = rows.value(7).toLongLong();
    block.comments = rows.text(8);
    block.translated = rows.value(9).toLongLong() == 1;
    block.revised = rows.value(10).toLongLong() == 1;
    block.textDataT = rows.text(11);
    block.newWidth = rows.value(12).toLongLong();
    block.newHeight = rows.value(13).toLongLong();
    return block;
}

} // namespace

Result<std::vector<RemovedBlock>> removedBlocks(const QString &storePath)
{
    std::vector<RemovedBlock> blocks;
    const Result<Database *> opened = historyStore(storePath, false);
    if (!opened)
        return opened.error();
    Database *history = *opened;
    if (!history)
        return blocks;
    Result<ResultSet> rows = history->query(RemovedColumns + u" ORDER BY id DESC"_s);
    if (!rows)
        return rows.error();
    while (rows->next())
        blocks.push_back(removedFrom(*rows));
    return blocks;
}

Result<Done> restoreRemovedBlock(Database &db, qint64 id)
{
    const Result<Database *> opened = historyStore(db.path(), false);
    if (!opened)
        return opened.error();
    Database *history = *opened;
    if (!history)
        return Failure{u"No block was ever removed from this store."_s, {}};
    Result<ResultSet> rows = history->query(RemovedColumns + u" AND id = "_s + number(id));
    if (!rows.ok())
        return rows.error();
    if (!rows->next())
        return Failure{u"No removed block %1 is waiting to be restored."_s.arg(id), {}};
    const RemovedBlock block = removedFrom(*rows);
    const BlockAddress &a = block.address;
    if (!ScriptTables::contains(a.table))
        return Failure{u"Removed block %1 names no script table (%2)."_s.arg(number(id), a.table), {}};
    Result<ResultSet> there = db.query(u"SELECT * FROM "_s + a.table + u" WHERE file_name = "_s + storeLiteral(a.fileName)
                               + u" AND dialogue_id = "_s + number(a.number) + u';');
    if (!there.ok())
        return there.error();
    if (there->rowCount() > 0)
        return Failure{u"Block %1 of %2 is in the store again; the removed one is kept as it is."_s.arg(
                           number(a.number), a.fileName),
                       {}};
    // The script's rows go after the table's others, in block order: a row
    // added at the end alone would part them.
    std::multimap<qint64, RemovedBlock> ordered{{a.number, block}};
    Result<ResultSet> script = db.query(u"SELECT * FROM "_s + a.table + u" WHERE file_name = "_s + storeLiteral(a.fileName)
                                + u';');
    if (!script.ok())
        return script.error();
    while (script->next()) {
        const RemovedBlock row =
            removedBlockOf(*script, {a.table, a.fileName, qint16(script->value(ColDialogueId).toLongLong())});
        ordered.emplace(row.address.number, row);
    }
    bool ok = db.begin()
        && db.execute(u"DELETE FROM "_s + a.table + u" WHERE file_name = "_s + storeLiteral(a.fileName) + u';');
    for (auto it = ordered.begin(); ok && it != ordered.end(); ++it)
        ok = db.execute(rowInsertStatement(it->second)).ok();
    if (!ok || !db.commit()) {
        const QString why = db.lastError().message;
        db.abandon();
        return Failure{why, {}};
    }
    // The block is back in the store; should the mark fail, it is only offered again.
    static_cast<void>(history->execute(u"UPDATE removed_block SET restored = 1 WHERE id = "_s + number(id)));
    return Done{};
}
