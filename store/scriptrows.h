#pragma once

#include "store/database.h"
#include "store/nodekey.h"

#include <QString>

#include <optional>

// The statements on the script tables' rows beyond one block's load and save
// (store/blockedit.h): a folder or a script read whole, the blocks around a
// block, the blocks sharing an original, the rows stored twice, and the
// rows an update of the originals or a restore writes again. Texts enter
// only through storeLiteral, in the stored form the caller hands in.
//
// Thread contract: the caller's thread, with the caller's Database.

// A script-table row by its values, as an update of the originals or a
// restore writes it again; texts in stored form.
struct ScriptRowValues
{
    BlockAddress address;
    QString textData;
    qint64 width = 0;
    qint64 height = 0;
    QString comments;
    bool translated = false;
    bool revised = false;
    QString textDataT;
    qint64 newWidth = 0;
    qint64 newHeight = 0;
};

// The current row of `rows` (every column, in the layout's order) as the
// block at `address`.
ScriptRowValues scriptRowOf(const ResultSet &rows, const BlockAddress &address);

// "INSERT INTO T (file_name,...,new_height) VALUES (...);"
QString rowInsertStatement(const ScriptRowValues &row);
// "DELETE FROM T WHERE file_name = 'F';": a script's rows, before it is written again whole.
QString scriptDeleteStatement(const QString &table, const QString &fileName);
// "DELETE FROM T WHERE file_name = 'F' AND dialogue_id = N;"
QString blockDeleteStatement(const QString &table, const QString &fileName, qint16 number);
// A block's original replaced by the game's: the text (none when it stayed
// the same) with the revised mark taken off, and the header's sizes.
QString originalChangeStatement(const QString &table, const QString &fileName, qint16 number,
                                const std::optional<QString> &storedText, qint64 width, qint64 height);
// The translation import's UPDATE: "UPDATE T SET text_data_t = '…', translated = 1,
// revised = 0 WHERE file_name = '…' AND dialogue_id = N;" (the comment left as it is).
QString translationImportStatement(const QString &table, const QString &fileName, qint16 number,
                                   const QString &storedText);

// Every row of `table` in the engine's order, by the start-up's and the
// update's own statement ("Select * from T").
Result<ResultSet> tableRows(Database &db, const QString &table);
// Every row of `table`, or of its script `fileName` when that is not empty.
Result<ResultSet> folderRows(Database &db, const QString &table, const QString &fileName);
// The rows of `table` whose original is `storedOriginal`.
Result<ResultSet> rowsWithOriginal(Database &db, const QString &table, const QString &storedOriginal);

// The rows of a block's script before it (nearest first), the block's own,
// or after it (nearest first), at most `count` of those around.
enum class Around { Before, Same, After };
Result<ResultSet> rowsAround(Database &db, const BlockAddress &block, Around side, int count);

// rowid, file_name and dialogue_id of every row of `table` whose block is
// stored more than once, by block and then by age.
Result<ResultSet> duplicatedRows(Database &db, const QString &table);
Result<QVariant> deleteRow(Database &db, const QString &table, qint64 rowid);
