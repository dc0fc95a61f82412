#include "store/sqlitehandle.h"

#include <sqlite3.h>

namespace {

// Before SQLite starts in this process: left on, it counts every allocation
// under one process-wide lock for statistics the program never reads, a sixth
// of the time of a bulk import. Every executable that opens a store links this
// file, and this runs before main and so before any connection is opened.
[[maybe_unused]] const bool sqliteSettingsApplied = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK;

} // namespace

void SqliteCloser::operator()(sqlite3 *db) const
{
    sqlite3_close_v2(db);
}

Result<SqliteHandle> openSqlite(const QString &path, int flags)
{
    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &raw, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    SqliteHandle db(raw);
    if (rc != SQLITE_OK)
        return Failure{raw ? sqliteMessage(raw) : QString::fromUtf8(sqlite3_errstr(rc)), {}, rc};
    // Other windows and processes hold the same file: wait for them a while.
    sqlite3_busy_timeout(raw, 5000);
    return db;
}

int execSqlite(sqlite3 *db, const QString &statements)
{
    return sqlite3_exec(db, statements.toUtf8().constData(), nullptr, nullptr, nullptr);
}

QString firstValue(sqlite3 *db, const QString &statement)
{
    sqlite3_stmt *raw = nullptr;
    QString value;
    const QByteArray sql = statement.toUtf8();
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &raw, nullptr) == SQLITE_OK
        && sqlite3_step(raw) == SQLITE_ROW)
        value = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(raw, 0)));
    sqlite3_finalize(raw);
    return value;
}

QString sqliteMessage(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}
