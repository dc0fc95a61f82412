#include "store/scriptrows.h"

#include "store/layout.h"
#include "store/storetext.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString number(qint64 value)
{
    return QString::number(value);
}

QString whereBlock(const QString &fileName, qint16 number)
{
    return u" WHERE file_name = "_s + storeLiteral(fileName) + u" AND dialogue_id = "_s + QString::number(number)
        + u';';
}

} // namespace

ScriptRowValues scriptRowOf(const ResultSet &row, const BlockAddress &address)
{
    ScriptRowValues block;
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

QString rowInsertStatement(const ScriptRowValues &row)
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

QString scriptDeleteStatement(const QString &table, const QString &fileName)
{
    return u"DELETE FROM "_s + table + u" WHERE file_name = "_s + storeLiteral(fileName) + u';';
}

QString blockDeleteStatement(const QString &table, const QString &fileName, qint16 number)
{
    return u"DELETE FROM "_s + table + whereBlock(fileName, number);
}

QString originalChangeStatement(const QString &table, const QString &fileName, qint16 number,
                                const std::optional<QString> &storedText, qint64 width, qint64 height)
{
    const bool same = !storedText;
    return u"UPDATE "_s + table + u" SET "_s + (same ? QString() : u"text_data = "_s + storeLiteral(*storedText) + u", "_s)
        + u"width = "_s + QString::number(width) + u", height = "_s + QString::number(height)
        + (same ? QString() : u", revised = 0"_s) + whereBlock(fileName, number);
}

QString translationImportStatement(const QString &table, const QString &fileName, qint16 number,
                                   const QString &storedText)
{
    // `comments` is left out on purpose: each block keeps its own comment
    // instead of taking whatever the comment box held during the import.
    return u"UPDATE "_s + table + u" SET text_data_t = "_s + storeLiteral(storedText)
        + u", translated = 1, revised = 0 WHERE file_name = "_s + storeLiteral(fileName) + u" AND dialogue_id = "_s
        + QString::number(number) + u';';
}

Result<ResultSet> tableRows(Database &db, const QString &table)
{
    return db.query(u"Select * from "_s + table);
}

Result<ResultSet> folderRows(Database &db, const QString &table, const QString &fileName)
{
    QString statement = u"SELECT * FROM "_s + table;
    if (!fileName.isEmpty())
        statement += u" WHERE file_name = "_s + storeLiteral(fileName);
    return db.query(statement + u';');
}

Result<ResultSet> rowsWithOriginal(Database &db, const QString &table, const QString &storedOriginal)
{
    return db.query(u"SELECT * FROM "_s + table + u" WHERE text_data = "_s + storeLiteral(storedOriginal) + u';');
}

Result<ResultSet> rowsAround(Database &db, const BlockAddress &block, Around side, int count)
{
    const QString script = u"SELECT * FROM "_s + block.table + u" WHERE file_name = "_s + storeLiteral(block.fileName)
        + u" AND dialogue_id "_s;
    const QString at = QString::number(block.number);
    const QString most = QString::number(std::max(count, 0));
    switch (side) {
    case Around::Before:
        return db.query(script + u"< "_s + at + u" ORDER BY dialogue_id DESC LIMIT "_s + most + u';');
    case Around::Same:
        return db.query(script + u"= "_s + at + u';');
    case Around::After:
        break;
    }
    return db.query(script + u"> "_s + at + u" ORDER BY dialogue_id LIMIT "_s + most + u';');
}

Result<ResultSet> duplicatedRows(Database &db, const QString &table)
{
    return db.query(u"SELECT rowid, file_name, dialogue_id FROM "_s + table
                    + u" WHERE (file_name, dialogue_id) IN (SELECT file_name, dialogue_id FROM "_s + table
                    + u" GROUP BY file_name, dialogue_id HAVING COUNT(*) > 1) "
                      "ORDER BY file_name, dialogue_id, rowid"_s);
}

Result<QVariant> deleteRow(Database &db, const QString &table, qint64 rowid)
{
    return db.execute(u"DELETE FROM "_s + table + u" WHERE rowid = "_s + QString::number(rowid));
}
