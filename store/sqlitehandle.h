#pragma once

#include "store/result.h"

#include <QString>

#include <memory>

struct sqlite3;

// A connection of SQLite's own, for the work the Database door does not
// offer: creating files, online backups, checks and planner figures.
struct SqliteCloser
{
    void operator()(sqlite3 *db) const;
};
using SqliteHandle = std::unique_ptr<sqlite3, SqliteCloser>;

// sqlite3_open_v2 with `flags` and a busy timeout; a failure in SQLite's words.
Result<SqliteHandle> openSqlite(const QString &path, int flags);

// Runs statements without rows; SQLite's result code.
int execSqlite(sqlite3 *db, const QString &statements);
// The first column of the first row, as text; empty when there is none.
QString firstValue(sqlite3 *db, const QString &statement);
QString sqliteMessage(sqlite3 *db);
