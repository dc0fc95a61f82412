#pragma once

#include "store/result.h"
#include "store/sqlitehandle.h"

#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

// The rows of one SELECT that ran, read in full when it ran, so that
// rowCount() never moves the cursor and no statement stays open on the file.
// A statement or a step that failed gives no ResultSet but its Failure
// (Database::query), so no failure reads as an empty result. A fresh result
// set stands before its first row: call next() first.
class [[nodiscard]] ResultSet
{
public:
    ResultSet() = default;

    // Moves to the next row; false when no row is left.
    bool next();
    // Column of the current row by 0-based position; an invalid QVariant
    // before the first step, after the last or outside the row.
    QVariant value(int column) const;
    QString text(int column) const { return value(column).toString(); }
    int rowCount() const { return int(m_rowCount); }
    int columnCount() const { return m_columnCount; }
    void close();

private:
    friend class Database;
    int m_columnCount = 0;
    // Row after row in one block: a search can bring back every row of the
    // store, and one allocation per row cost more than reading them.
    std::vector<QVariant> m_cells;
    qsizetype m_rowCount = 0;
    qsizetype m_current = -1;
};

// The one door through which every statement reaches tallowpen.db.
//
// Thread contract: an instance belongs to the thread that opened it. Each
// window owns its own instance on the same file; they see each other's
// committed writes (WAL journal, busy timeout).
//
// Safety contract: statements arrive as literal text. A text that holds a
// second statement after the first is refused before anything of it runs,
// and statements that would change the schema or reach another database
// file (CREATE, DROP, ALTER, ATTACH, PRAGMA writes...) are refused too.
struct sqlite3_stmt;

class Database
{
public:
    static inline const QString ThrowawayCopy = QStringLiteral("throwaway copy");

    Database();
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens an existing file; never creates one.
    Result<Done> open(const QString &path);
    // The second set-up call. The empty text applies the connection settings
    // every instance needs; ThrowawayCopy applies them too, but lets commits
    // and checkpoints skip the disk's flushes, for a file removed after use
    // that nobody reads after a crash; any other text is refused as unknown.
    Result<Done> configure(const QString &options);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    // Opened only for reading: the file or its folder cannot be written.
    // Every statement that would write is refused with a sentence saying so.
    bool isReadOnly() const { return m_readOnly; }
    QString path() const { return m_path; }

    // The rows of a SELECT, or why it failed (SQLite's result code in `code`).
    Result<ResultSet> query(const QString &statement);
    // Runs any single statement. The value is the first column of the first
    // row when the statement yields rows (the COUNT(*) statements), an
    // invalid QVariant otherwise. There is no parameter list: values travel
    // inside the statement text.
    Result<QVariant> execute(const QString &statement);
    // The same for a statement already in UTF-8, as SQLite reads it.
    Result<QVariant> executeUtf8(QByteArrayView statement);

    // Groups bulk writes; rollback() undoes everything since begin().
    Result<Done> begin();
    Result<Done> commit();
    Result<Done> rollback();
    // Rolls back after a failure, whose message is the one to give: should
    // the rollback fail too, close() ends the transaction.
    void abandon();
    bool inTransaction() const;

    // LIKE on this connection then matches letters regardless of case across
    // the whole of Unicode (Á = á, Ñ = ñ), not only ASCII as SQLite's own LIKE
    // does; accents still count and % and _ stay the wildcards
    // (store/unicodelike.h). Lasts until close().
    Result<Done> useUnicodeLike();

    // Rows inserted, changed or deleted through this instance since open();
    // shows callers and tests that an idle store is left alone.
    qint64 changedRows() const;
    // A number that moves whenever the file's rows change, through this
    // instance or any other connection or process; lets a window keep a table
    // in memory and reread it only when it changed. -1 when it cannot be had.
    qint64 dataVersion();

private:
    Result<Done> run(const QString &statement, ResultSet *rows, QVariant *out);
    Result<Done> run(QByteArrayView sql, ResultSet *rows, QVariant *out);
    Failure fail(int code, const QString &message);
    QString readOnlyMessage() const;

    SqliteHandle m_db;
    // The read that lets the pager see other connections' commits, prepared
    // once: dataVersion runs on every key of the translated editor.
    sqlite3_stmt *m_versionProbe = nullptr;
    QString m_path;
    bool m_readOnly = false;
};

// Opens `path` and gives it the second set-up call, as every window does at load.
Result<Done> openStore(Database &db, const QString &path);
