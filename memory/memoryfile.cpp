#include "memory/memoryfile.h"

#include "memory/logging.h"
#include "memory/sqlitehandles.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

// Raised whenever the file's tables change shape: an older file is made anew.
constexpr int FileVersion = 1;

const char *const Schema =
    "CREATE TABLE entry (id INTEGER PRIMARY KEY, tbl TEXT NOT NULL, file_name TEXT NOT NULL,"
    " dialogue_id INTEGER NOT NULL, original TEXT NOT NULL, translation TEXT NOT NULL, plain TEXT NOT NULL,"
    " UNIQUE (tbl, file_name, dialogue_id));"
    "CREATE INDEX entry_plain ON entry (plain);"
    "CREATE VIRTUAL TABLE entry_trigrams USING fts5 (plain, content='entry', content_rowid='id',"
    " tokenize='trigram', detail='none');";

const char *const EntryColumns = "SELECT id, tbl, file_name, dialogue_id, original, translation, plain FROM entry";

using namespace SqliteHandles;

void bindText(sqlite3_stmt *s, int parameter, QStringView text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(s, parameter, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void bindBlock(sqlite3_stmt *s, int first, const BlockAddress &block)
{
    bindText(s, first, block.table);
    bindText(s, first + 1, block.fileName);
    sqlite3_bind_int(s, first + 2, block.number);
}

// Columns id, tbl, file_name, dialogue_id, original, translation, plain.
MemoryEntry entryAt(sqlite3_stmt *s)
{
    return {sqlite3_column_int64(s, 0),
            {columnText(s, 1), columnText(s, 2), qint16(sqlite3_column_int(s, 3))},
            columnText(s, 4),
            columnText(s, 5),
            columnText(s, 6)};
}

// Steps a statement that yields no rows and leaves it ready for the next use.
bool run(sqlite3_stmt *s)
{
    const int rc = sqlite3_step(s);
    sqlite3_reset(s);
    return rc == SQLITE_DONE;
}

} // namespace

struct MemoryFile::Private
{
    Connection db;
    QString path;
    QString error;
    bool bulk = false;
    Statement insert, change, remove, find, byId, samePlain, trigramIds, addTrigrams, removeTrigrams;

    bool exec(const char *sql) { return sqlite3_exec(db.get(), sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
    bool prepare(Statement &statement, const char *sql)
    {
        sqlite3_stmt *raw = nullptr;
        const int rc = sqlite3_prepare_v3(db.get(), sql, -1, SQLITE_PREPARE_PERSISTENT, &raw, nullptr);
        statement.reset(raw);
        return rc == SQLITE_OK;
    }
    std::optional<MemoryEntry> one(sqlite3_stmt *s)
    {
        std::optional<MemoryEntry> found;
        if (sqlite3_step(s) == SQLITE_ROW)
            found = entryAt(s);
        sqlite3_reset(s);
        return found;
    }
    bool trigramRow(sqlite3_stmt *s, qint64 id, const QString &plain)
    {
        if (bulk)
            return true;
        sqlite3_bind_int64(s, 1, id);
        bindText(s, 2, plain);
        return run(s);
    }
    int version()
    {
        Statement statement;
        return prepare(statement, "PRAGMA user_version") && sqlite3_step(statement.get()) == SQLITE_ROW
            ? sqlite3_column_int(statement.get(), 0)
            : -1;
    }
    bool openFile();
};

bool MemoryFile::Private::openFile()
{
    sqlite3 *raw = nullptr;
    const QByteArray file = path.toUtf8();
    const int rc = sqlite3_open_v2(file.constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    db.reset(raw);
    if (rc != SQLITE_OK)
        return false;
    sqlite3_busy_timeout(db.get(), 5000);
    // A cache: a write lost to a power cut costs one sync, not the disk's
    // wait on every commit.
    if (!exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"))
        return false;
    const int found = version();
    if (found == 0) {
        const QByteArray made = "BEGIN;" + QByteArray(Schema) + "PRAGMA user_version = "
            + QByteArray::number(FileVersion) + ";COMMIT;";
        if (!exec(made.constData()))
            return false;
    } else if (found != FileVersion) {
        return false;
    }
    return prepare(insert, "INSERT INTO entry (tbl, file_name, dialogue_id, original, translation, plain)"
                           " VALUES (?1, ?2, ?3, ?4, ?5, ?6)")
        && prepare(change, "UPDATE entry SET original = ?2, translation = ?3, plain = ?4 WHERE id = ?1")
        && prepare(remove, "DELETE FROM entry WHERE id = ?1")
        && prepare(find, QByteArray(EntryColumns).append(" WHERE tbl = ?1 AND file_name = ?2 AND dialogue_id = ?3").constData())
        && prepare(byId, QByteArray(EntryColumns).append(" WHERE id = ?1").constData())
        && prepare(samePlain, "SELECT id FROM entry WHERE plain = ?1")
        && prepare(trigramIds, "SELECT rowid FROM entry_trigrams WHERE entry_trigrams MATCH ?1")
        && prepare(addTrigrams, "INSERT INTO entry_trigrams (rowid, plain) VALUES (?1, ?2)")
        && prepare(removeTrigrams,
                   "INSERT INTO entry_trigrams (entry_trigrams, rowid, plain) VALUES ('delete', ?1, ?2)");
}

MemoryFile::MemoryFile()
    : d(std::make_unique<Private>())
{
}

MemoryFile::~MemoryFile() = default;

bool MemoryFile::open(const QString &path)
{
    *d = Private();
    d->path = path;
    // The file is rewritten at will: never through a link to somewhere else.
    if (QFileInfo(path).isSymLink()) {
        d->error = u"The translation memory %1 is a link; remove it and the memory will be made anew."_s.arg(path);
        return false;
    }
    if (d->openFile())
        return true;
    qCInfo(lcMemory) << "making the translation memory anew:" << path;
    *d = Private();
    d->path = path;
    for (const QString &suffix : {QString(), u"-wal"_s, u"-shm"_s})
        QFile::remove(path + suffix);
    if (d->openFile())
        return true;
    fail(u"cannot be created"_s);
    *d = Private();
    d->path = path;
    return false;
}

bool MemoryFile::isOpen() const
{
    return d->db != nullptr;
}

const QString &MemoryFile::error() const
{
    return d->error;
}

bool MemoryFile::fail(const QString &what)
{
    const QString why = d->db ? QString::fromUtf8(sqlite3_errmsg(d->db.get())) : u"not open"_s;
    d->error = u"The translation memory %1 %2 (%3). Matches are not shown until it can be used."_s.arg(d->path, what,
                                                                                                     why);
    qCWarning(lcMemory) << d->error;
    return false;
}

bool MemoryFile::begin()
{
    return d->exec("BEGIN IMMEDIATE");
}

bool MemoryFile::commit()
{
    return d->exec("COMMIT");
}

void MemoryFile::rollback()
{
    d->exec("ROLLBACK");
}

qint64 MemoryFile::largestId()
{
    Statement largest;
    return d->prepare(largest, "SELECT max(id) FROM entry") && sqlite3_step(largest.get()) == SQLITE_ROW
        ? sqlite3_column_int64(largest.get(), 0)
        : 0;
}

bool MemoryFile::clear()
{
    return d->exec("DELETE FROM entry") && d->exec("INSERT INTO entry_trigrams (entry_trigrams) VALUES ('delete-all')");
}

bool MemoryFile::readAll(const std::function<void(MemoryEntry &&)> &take)
{
    Statement all;
    if (!d->prepare(all, EntryColumns))
        return false;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(all.get())) == SQLITE_ROW)
        take(entryAt(all.get()));
    return rc == SQLITE_DONE;
}

std::optional<MemoryEntry> MemoryFile::find(const BlockAddress &block)
{
    bindBlock(d->find.get(), 1, block);
    return d->one(d->find.get());
}

std::optional<MemoryEntry> MemoryFile::byId(qint64 id)
{
    sqlite3_bind_int64(d->byId.get(), 1, id);
    return d->one(d->byId.get());
}

qint64 MemoryFile::insert(const MemoryEntry &entry)
{
    sqlite3_stmt *s = d->insert.get();
    bindBlock(s, 1, entry.block);
    bindText(s, 4, entry.original);
    bindText(s, 5, entry.translation);
    bindText(s, 6, entry.plain);
    if (!run(s))
        return -1;
    const qint64 id = sqlite3_last_insert_rowid(d->db.get());
    return d->trigramRow(d->addTrigrams.get(), id, entry.plain) ? id : -1;
}

bool MemoryFile::change(const MemoryEntry &entry, const QString &oldPlain)
{
    sqlite3_stmt *s = d->change.get();
    sqlite3_bind_int64(s, 1, entry.id);
    bindText(s, 2, entry.original);
    bindText(s, 3, entry.translation);
    bindText(s, 4, entry.plain);
    if (!run(s))
        return false;
    return entry.plain == oldPlain
        || (d->trigramRow(d->removeTrigrams.get(), entry.id, oldPlain)
            && d->trigramRow(d->addTrigrams.get(), entry.id, entry.plain));
}

bool MemoryFile::remove(qint64 id, const QString &plain)
{
    sqlite3_bind_int64(d->remove.get(), 1, id);
    return run(d->remove.get()) && d->trigramRow(d->removeTrigrams.get(), id, plain);
}

void MemoryFile::setBulk(bool on)
{
    d->bulk = on;
}

bool MemoryFile::rebuildTrigrams()
{
    return d->exec("INSERT INTO entry_trigrams (entry_trigrams) VALUES ('rebuild')");
}

bool MemoryFile::idsWithTrigram(QStringView trigram, const std::function<void(qint64)> &each)
{
    // An FTS5 string: a double quote inside is written twice.
    QString term = trigram.toString();
    term.replace(u'"', u"\"\""_s);
    sqlite3_stmt *s = d->trigramIds.get();
    bindText(s, 1, QString(u'"' + term + u'"'));
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW)
        each(sqlite3_column_int64(s, 0));
    sqlite3_reset(s);
    return rc == SQLITE_DONE;
}

std::vector<qint64> MemoryFile::idsWithPlain(const QString &plain)
{
    std::vector<qint64> ids;
    bindText(d->samePlain.get(), 1, plain);
    while (sqlite3_step(d->samePlain.get()) == SQLITE_ROW)
        ids.push_back(sqlite3_column_int64(d->samePlain.get(), 0));
    sqlite3_reset(d->samePlain.get());
    return ids;
}
