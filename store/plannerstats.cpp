#include "store/plannerstats.h"

#include "store/database.h"
#include "store/layout.h"
#include "store/sqlitehandle.h"
#include "store/storetext.h"

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

// One row per index: the rows of the table, then the rows that share a value
// of each leading column. The store's shape, not its size: a script holds
// about fifty-five blocks, a block is one row, `translated` has two values.
QString statisticsRows()
{
    QString rows;
    for (const QString &table : ScriptTables::all) {
        const QString name = storeLiteral(table);
        rows += u"INSERT INTO sqlite_stat1 VALUES ("_s + name + u", "_s + storeLiteral(table + u"_block"_s)
            + u", '32767 55 1');INSERT INTO sqlite_stat1 VALUES ("_s + name + u", "_s
            + storeLiteral(table + u"_translated"_s) + u", '32767 16384');"_s;
    }
    return rows;
}

} // namespace

int writePlannerStatistics(sqlite3 *db)
{
    // ANALYZE of the schema table alone creates sqlite_stat1 and reads no rows.
    return execSqlite(db, u"ANALYZE sqlite_schema; DELETE FROM sqlite_stat1;"_s + statisticsRows());
}

Result<Done> ensurePlannerStatistics(const QString &storePath)
{
    const Result<SqliteHandle> opened = openSqlite(storePath, SQLITE_OPEN_READWRITE);
    if (!opened)
        return Failure{opened.error().message, {}, SQLITE_CANTOPEN};
    const SqliteHandle &db = *opened;
    const QString ownIndexes = firstValue(db.get(), u"SELECT COUNT(*) FROM sqlite_schema WHERE type = 'index' AND "
                                                    "name IN ('battling_arena_block', 'battle_script_block', "
                                                    "'field_block')"_s);
    // Empty when the table is missing; figures of someone's own ANALYZE stay.
    const QString figures = firstValue(db.get(), u"SELECT COUNT(*) FROM sqlite_stat1 WHERE idx IN "
                                                 "('battling_arena_block', 'battle_script_block', 'field_block')"_s);
    if (ownIndexes != u"3" || (!figures.isEmpty() && figures != u"0"))
        return Done{};
    int rc = execSqlite(db.get(), u"BEGIN IMMEDIATE"_s);
    if (rc == SQLITE_OK)
        rc = writePlannerStatistics(db.get());
    if (rc == SQLITE_OK)
        rc = execSqlite(db.get(), u"COMMIT"_s);
    if (rc != SQLITE_OK) {
        const QString why = sqliteMessage(db.get());
        execSqlite(db.get(), u"ROLLBACK"_s);
        return Failure{why, {}, rc};
    }
    return Done{};
}
