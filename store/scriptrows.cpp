#include "store/scriptrows.h"

#include "store/layout.h"
#include "store/storetext.h"

#include <array>

using namespace Qt::StringLiterals;

QString exportListStatement(const QString &table, bool onlyRevised)
{
    return u"SELECT * FROM "_s + table
        + (onlyRevised ? u" WHERE translated = 1 AND revised = 1"_s : u" WHERE translated = 1"_s);
}

Result<ResultSet> exportListRows(Database &db, const QString &table, bool onlyRevised)
{
    return db.query(exportListStatement(table, onlyRevised));
}

QString exportScriptStatement(const QString &folder, const QString &script, bool onlyRevised,
                              bool includeUntranslated)
{
    const QString select = u"SELECT * FROM "_s + folder + u" WHERE file_name = "_s + storeLiteral(script);
    if (includeUntranslated)
        return select + u';';
    if (onlyRevised)
        return select + u" AND translated = 1 AND revised = 1;"_s;
    return select + u" AND translated = 1;"_s;
}

Result<ResultSet> exportedScriptRows(Database &db, const QString &folder, const QString &script, bool onlyRevised,
                                     bool includeUntranslated)
{
    return db.query(exportScriptStatement(folder, script, onlyRevised, includeUntranslated));
}

Result<qint64> scriptRowCount(Database &db)
{
    qint64 sum = 0;
    for (const QString &table : {ScriptTables::battleScript, ScriptTables::battlingArena, ScriptTables::field}) {
        Result<ResultSet> rows = db.query(u"Select * from "_s + table);
        if (!rows)
            return rows.error();
        sum += rows->rowCount();
    }
    return sum;
}

bool holdsScriptRows(Database &db)
{
    for (const QString &table : ScriptTables::all) {
        const Result<ResultSet> row = db.query(u"SELECT 1 FROM "_s + table + u" LIMIT 1"_s);
        if (!row || row->rowCount() > 0)
            return true;
    }
    return false;
}

Result<Done> deleteImportedRows(Database &db, const std::function<void(const QString &table)> &before)
{
    static const std::array<std::pair<QString, QString>, 4> deletions = {{
        {ScriptTables::battleScript, u"DELETE FROM battle_script WHERE dialogue_id > 0;"_s},
        {ScriptTables::battlingArena, u"DELETE FROM battling_arena WHERE dialogue_id > 0;"_s},
        {ScriptTables::field, u"DELETE FROM field WHERE dialogue_id > 0;"_s},
        {u"suggestion"_s, u"DELETE FROM suggestion WHERE word <> '';"_s},
    }};
    for (const auto &[table, statement] : deletions) {
        if (before)
            before(table);
        if (Result<QVariant> deleted = db.execute(statement); !deleted)
            return deleted.error();
    }
    return Done{};
}

QString originalInsertStatement(const QString &folder, const QString &name, qint16 number, const QString &text,
                                qint16 width, qint16 height)
{
    return u"INSERT INTO "_s + folder
        + u" (file_name,dialogue_id,text_data,width,height,comments,translated,revised,text_data_t,new_width,"
          "new_height) VALUES ("_s
        + storeLiteral(name) + u", "_s + QString::number(number) + u", "_s + storeLiteral(text) + u" ,"_s
        + QString::number(width) + u", "_s + QString::number(height) + u" ,'', 0,0 ,'', 0,0);"_s;
}

Result<Done> beginFileRows(Database &db)
{
    if (Result<QVariant> begun = db.execute(u"SAVEPOINT import_file"_s); !begun)
        return begun.error();
    return Done{};
}

Result<Done> keepFileRows(Database &db)
{
    if (Result<QVariant> kept = db.execute(u"RELEASE import_file"_s); !kept)
        return kept.error();
    return Done{};
}

void dropFileRows(Database &db)
{
    static_cast<void>(db.execute(u"ROLLBACK TO import_file"_s));
    static_cast<void>(db.execute(u"RELEASE import_file"_s));
}
