#include "keeping/historystore.h"

#include "store/blockedit.h"
#include "store/database.h"
#include "store/layout.h"
#include "store/logging.h"
#include "files/safefile.h"
#include "store/sqlitehandle.h"
#include "store/storetext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Every table is made with the file, before it gets its name: a file
// called history.db always holds them. Tables added later are added to an
// older file at its first open.
const QString HistoryLayout =
    u"CREATE TABLE IF NOT EXISTS block_history (id INTEGER PRIMARY KEY, replaced_at INTEGER NOT NULL, "
    "block_table TEXT NOT NULL, file_name TEXT NOT NULL, dialogue_id INTEGER NOT NULL, "
    "translation TEXT NOT NULL, comment TEXT NOT NULL, revised INTEGER NOT NULL);"
    "CREATE INDEX IF NOT EXISTS block_history_block ON block_history (block_table, file_name, dialogue_id, id);"
    // The last batch edit (keeping/batch.h).
    "CREATE TABLE IF NOT EXISTS last_batch (reason TEXT NOT NULL, backup TEXT NOT NULL, began_at INTEGER NOT NULL, "
    "history_mark INTEGER NOT NULL);"
    "CREATE TABLE IF NOT EXISTS last_batch_block (block_table TEXT NOT NULL, file_name TEXT NOT NULL, "
    "dialogue_id INTEGER NOT NULL);"
    "CREATE TABLE IF NOT EXISTS block_draft (block_table TEXT NOT NULL, file_name TEXT NOT NULL, "
    "dialogue_id INTEGER NOT NULL, written_at INTEGER NOT NULL, translation TEXT NOT NULL, comment TEXT NOT NULL, "
    "revised INTEGER NOT NULL, PRIMARY KEY (block_table, file_name, dialogue_id));"
    "CREATE TABLE IF NOT EXISTS editor_state (name TEXT PRIMARY KEY, value TEXT NOT NULL);"_s;

// The columns this program reads; a table of that name without them is another program's.
const char *const HistoryColumns =
    "SELECT id, replaced_at, block_table, file_name, dialogue_id, translation, comment, revised FROM block_history LIMIT 0";

const QString LastBlockName = u"last_block"_s;

// What an update of the originals replaced and took away. A mark stands
// while the store still holds `new_original` and nobody saved the block
// since (`open`), so a store that rolled the update back is not marked.
const QString OriginalHistoryLayout =
    u"CREATE TABLE IF NOT EXISTS original_history (id INTEGER PRIMARY KEY, replaced_at INTEGER NOT NULL, "
    "block_table TEXT NOT NULL, file_name TEXT NOT NULL, dialogue_id INTEGER NOT NULL, "
    "old_original TEXT NOT NULL, new_original TEXT NOT NULL, open INTEGER NOT NULL);"
    "CREATE INDEX IF NOT EXISTS original_history_block ON original_history (block_table, file_name, dialogue_id, id);"
    "CREATE TABLE IF NOT EXISTS removed_block (id INTEGER PRIMARY KEY, removed_at INTEGER NOT NULL, "
    "block_table TEXT NOT NULL, file_name TEXT NOT NULL, dialogue_id INTEGER NOT NULL, text_data TEXT NOT NULL, "
    "width INTEGER NOT NULL, height INTEGER NOT NULL, comments TEXT NOT NULL, translated INTEGER NOT NULL, "
    "revised INTEGER NOT NULL, text_data_t TEXT NOT NULL, new_width INTEGER NOT NULL, new_height INTEGER NOT NULL, "
    "restored INTEGER NOT NULL DEFAULT 0);"_s;

QString whereBlock(const BlockAddress &address)
{
    return u" WHERE block_table = "_s + storeLiteral(address.table) + u" AND file_name = "_s + storeLiteral(address.fileName)
        + u" AND dialogue_id = "_s + QString::number(address.number);
}

// The history file's connection, kept between saves: opening it costs more
// than the row written through it.
struct OpenHistory
{
    QString path;
    std::unique_ptr<Database> db;
};

OpenHistory &openHistory()
{
    static OpenHistory history;
    return history;
}

QString historyPath(const QString &storePath)
{
    return QFileInfo(storePath).absoluteDir().filePath(HistoryFileName);
}

QString shownPath(const QString &path)
{
    return QDir::cleanPath(path);
}

// Made under a name of its own and renamed into place without replacing:
// of two first saves at once, one file wins and the other save uses it.
QString createWhole(const QString &path)
{
    const QString part = u"%1.%2.part"_s.arg(path, QString::number(QCoreApplication::applicationPid()));
    QString why;
    {
        const Result<SqliteHandle> made = openSqlite(part, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        if (!made)
            return made.error().message;
        if (execSqlite(made->get(), u"PRAGMA journal_mode=WAL;"_s + HistoryLayout + OriginalHistoryLayout) != SQLITE_OK)
            why = sqliteMessage(made->get());
    }
    if (why.isEmpty() && !SafeFile::renameNoReplace(part, path) && !QFileInfo::exists(path))
        why = u"it could not be named %1"_s.arg(HistoryFileName);
    for (const QString &suffix : {QString(), u"-wal"_s, u"-shm"_s, u"-journal"_s})
        QFile::remove(part + suffix);
    return why;
}

// What keeps a file from serving as the history; `damaged` when the file
// itself is at fault (not a database, no tables, another program's), as
// against a lock or a folder that cannot be written.
struct FileProblem
{
    QString why;
    bool damaged = false;
};

bool damagedCode(int code)
{
    const int primary = code & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

// Empty when the file is a history this program can use (its newer tables
// added when missing).
FileProblem historyProblem(const QString &path)
{
    const Result<SqliteHandle> opened = openSqlite(path, SQLITE_OPEN_READWRITE);
    if (!opened)
        return {opened.error().message, false};
    const SqliteHandle &db = *opened;
    const QString tables = firstValue(db.get(), u"SELECT COUNT(*) FROM sqlite_schema WHERE type = 'table'"_s);
    if (tables.isEmpty())
        return {sqliteMessage(db.get()), damagedCode(sqlite3_extended_errcode(db.get()))};
    if (tables == u"0")
        return {u"it holds no tables"_s, true};
    sqlite3_stmt *raw = nullptr;
    const int rc = sqlite3_prepare_v2(db.get(), HistoryColumns, -1, &raw, nullptr);
    sqlite3_finalize(raw);
    if (rc != SQLITE_OK)
        return {u"it is not a history of block versions (%1)"_s.arg(sqliteMessage(db.get())),
                (rc & 0xff) == SQLITE_ERROR || damagedCode(rc)};
    if (sqlite3_db_readonly(db.get(), "main") == 0 && execSqlite(db.get(), HistoryLayout + OriginalHistoryLayout) != SQLITE_OK)
        return {sqliteMessage(db.get()), damagedCode(sqlite3_extended_errcode(db.get()))};
    return {};
}

// A history that could not be had, and the notice of a damaged file set
// aside on the way (empty when none was): the user hears of that file either way.
struct HistoryFailure : Failure
{
    QString notice;
};

HistoryFailure historyFailure(const QString &message, const QString &notice = {})
{
    return {{message, {}, 0}, notice};
}

// The damaged file keeps its rows for whoever can save them; the history
// goes on in a new file. The value is the notice that tells so.
Result<QString, HistoryFailure> setAsideDamaged(const QString &path, const QString &problem)
{
    openHistory().db.reset();
    const QFileInfo file(path);
    const QString aside = file.absoluteDir().filePath(
        u"history-damaged-%1.db"_s.arg(QDateTime::currentDateTime().toString(u"yyyy-MM-dd_HH-mm-ss-zzz"_s)));
    if (!QFile::rename(path, aside))
        return historyFailure(
            u"%1 is damaged (%2) and could not be set aside as %3"_s.arg(shownPath(path), problem, shownPath(aside)));
    QFile::rename(path + u"-wal"_s, aside + u"-wal"_s);
    QFile::remove(path + u"-shm"_s);
    const QString notice = u"%1 was damaged (%2): it was set aside as %3 and a new %4 was started."_s.arg(
        shownPath(path), problem, QFileInfo(aside).fileName(), HistoryFileName);
    qCWarning(lcStore) << notice;
    if (const QString why = createWhole(path); !why.isEmpty())
        return historyFailure(why, notice);
    return notice;
}

struct OpenedHistory
{
    Database *db = nullptr; // none: the file is missing and was not to be made
    QString notice;         // of a damaged file set aside on the way
};

// `create` false: a missing file is no error, just no history.
Result<OpenedHistory, HistoryFailure> historyDatabase(const QString &storePath, bool create)
{
    const QString path = historyPath(storePath);
    OpenHistory &history = openHistory();
    const QFileInfo file(path);
    if (history.db && history.path == path && file.isFile())
        return OpenedHistory{history.db.get(), {}};
    history.db.reset();
    if (file.isSymLink())
        return historyFailure(
            u"%1 is a symbolic link; the history is written only into the program folder itself."_s.arg(
                shownPath(path)));
    if (file.exists() && !file.isFile())
        return historyFailure(
            u"%1 is not a file; move it away so that the history can be kept."_s.arg(shownPath(path)));
    if (!file.exists()) {
        if (!create)
            return OpenedHistory{};
        if (const QString why = createWhole(path); !why.isEmpty())
            return historyFailure(u"%1 could not be made: %2"_s.arg(shownPath(path), why));
    }
    QString notice;
    if (const FileProblem problem = historyProblem(path); !problem.why.isEmpty()) {
        if (!problem.damaged)
            return historyFailure(u"%1 could not be opened: %2"_s.arg(shownPath(path), problem.why));
        const Result<QString, HistoryFailure> aside = setAsideDamaged(path, problem.why);
        if (!aside) {
            const QString &told = aside.error().notice;
            return historyFailure(told.isEmpty() ? aside.error().message : told + u' ' + aside.error().message, told);
        }
        notice = *aside;
    }
    auto db = std::make_unique<Database>();
    if (const Result<Done> opened = openStore(*db, path); !opened)
        return historyFailure(u"%1 could not be opened: %2"_s.arg(shownPath(path), opened.error().message), notice);
    history = {path, std::move(db)};
    return OpenedHistory{history.db.get(), notice};
}

// The notice of the file set aside last: an earlier one stands when none came since.
QString latest(const QString &newer, const QString &earlier)
{
    return newer.isEmpty() ? earlier : newer;
}

// Runs a write on the history; a file found damaged by it is set aside and
// the write tried once more on a new one. The notice of the last file set
// aside comes with the outcome, whichever it is.
Result<HistoryWrite, HistoryFailure> writeHistory(const QString &storePath, const QString &statement)
{
    Result<OpenedHistory, HistoryFailure> opened = historyDatabase(storePath, true);
    if (!opened)
        return opened.error();
    QString notice = opened->notice;
    Result<QVariant> written = opened->db->execute(statement);
    if (written)
        return HistoryWrite{notice};
    if (damagedCode(written.error().code)) {
        const QString path = historyPath(storePath);
        const Result<QString, HistoryFailure> aside = setAsideDamaged(path, written.error().message);
        if (!aside)
            return historyFailure(aside.error().message, latest(aside.error().notice, notice));
        notice = *aside;
        opened = historyDatabase(storePath, true);
        if (!opened)
            return historyFailure(opened.error().message, latest(opened.error().notice, notice));
        notice = latest(opened->notice, notice);
        written = opened->db->execute(statement);
        if (written)
            return HistoryWrite{notice};
    }
    return historyFailure(written.error().message, notice);
}

QString number(qint64 value)
{
    return QString::number(value);
}

QString blockColumns(const BlockAddress &address)
{
    return storeLiteral(address.table) + u", "_s + storeLiteral(address.fileName) + u", "_s
        + QString::number(address.number);
}

} // namespace

Result<Database *> historyStore(const QString &storePath, bool create)
{
    const Result<OpenedHistory, HistoryFailure> opened = historyDatabase(storePath, create);
    if (!opened)
        return opened.error();
    return opened->db;
}

Result<HistoryWrite> keepEarlierVersion(const QString &storePath, const BlockAddress &address,
                                        const std::optional<BlockVersion> &before, const BlockSnapshot &after,
                                        const QDateTime &now)
{
    if (!before
        || (before->translation == after.textDataT && before->comment == after.comments
            && before->revised == after.revised))
        return HistoryWrite{};
    const Result<HistoryWrite, HistoryFailure> written = writeHistory(
        storePath, u"INSERT INTO block_history (replaced_at, block_table, file_name, dialogue_id, "
                   "translation, comment, revised) VALUES ("_s
                       + QString::number(now.toMSecsSinceEpoch()) + u", "_s + blockColumns(address) + u", "_s
                       + storeLiteral(before->translation) + u", "_s + storeLiteral(before->comment) + u", "_s
                       + (before->revised ? u"1"_s : u"0"_s) + u')');
    if (written)
        return *written;
    QString why = u"The earlier version of block %1 of %2 could not be kept in %3: %4"_s.arg(
        QString::number(address.number), address.fileName, HistoryFileName, written.error().message);
    if (!written.error().notice.isEmpty())
        why = written.error().notice + u' ' + why;
    qCWarning(lcStore) << why;
    return Failure{why, {}};
}

Result<std::vector<BlockVersion>> blockVersions(const QString &storePath, const BlockAddress &address)
{
    std::vector<BlockVersion> versions;
    // A damaged file set aside is news enough: its versions went with it.
    const Result<OpenedHistory, HistoryFailure> opened = historyDatabase(storePath, false);
    if (!opened)
        return Failure{opened.error().notice.isEmpty() ? opened.error().message : opened.error().notice, {}, 0};
    if (!opened->notice.isEmpty())
        return Failure{opened->notice, {}, 0};
    if (!opened->db)
        return versions;
    Result<ResultSet> rows = opened->db->query(u"SELECT replaced_at, translation, comment, revised FROM block_history"_s
                                    + whereBlock(address) + u" ORDER BY id DESC"_s);
    if (!rows.ok())
        return rows.error();
    while (rows->next()) {
        versions.push_back({QDateTime::fromMSecsSinceEpoch(rows->value(0).toLongLong()), fromStoreText(rows->text(1)),
                            fromStoreText(rows->text(2)), rows->value(3).toLongLong() == 1});
    }
    return versions;
}

Result<HistoryWrite> writeDraft(const QString &storePath, const BlockAddress &address, const BlockVersion &draft)
{
    const Result<HistoryWrite, HistoryFailure> written = writeHistory(
        storePath, u"INSERT OR REPLACE INTO block_draft (block_table, file_name, dialogue_id, written_at, translation, "
                   "comment, revised) VALUES ("_s
                       + blockColumns(address) + u", "_s + QString::number(draft.time.toMSecsSinceEpoch()) + u", "_s
                       + storeLiteral(draft.translation) + u", "_s + storeLiteral(draft.comment) + u", "_s
                       + (draft.revised ? u"1"_s : u"0"_s) + u')');
    if (written)
        return *written;
    return Failure{u"The unsaved text of block %1 of %2 could not be kept in %3: %4"_s.arg(
                       QString::number(address.number), address.fileName, HistoryFileName, written.error().message),
                   {}};
}

Result<std::optional<BlockVersion>> blockDraft(const QString &storePath, const BlockAddress &address)
{
    const Result<OpenedHistory, HistoryFailure> opened = historyDatabase(storePath, false);
    if (!opened)
        return opened.error();
    if (!opened->db)
        return std::optional<BlockVersion>();
    Result<ResultSet> rows = opened->db->query(u"SELECT written_at, translation, comment, revised FROM block_draft"_s
                                    + whereBlock(address));
    if (!rows.ok())
        return rows.error();
    if (!rows->next())
        return std::optional<BlockVersion>();
    return std::optional<BlockVersion>{BlockVersion{QDateTime::fromMSecsSinceEpoch(rows->value(0).toLongLong()), fromStoreText(rows->text(1)),
                        fromStoreText(rows->text(2)), rows->value(3).toLongLong() == 1}};
}

Result<Done> dropDraft(const QString &storePath, const BlockAddress &address)
{
    const Result<OpenedHistory, HistoryFailure> opened = historyDatabase(storePath, false);
    if (!opened)
        return opened.error();
    if (!opened->db)
        return Done{};
    if (const Result<QVariant> dropped = opened->db->execute(u"DELETE FROM block_draft"_s + whereBlock(address)); !dropped)
        return dropped.error();
    return Done{};
}

Result<HistoryWrite> rememberOpenBlock(const QString &storePath, const QString &key)
{
    const Result<HistoryWrite, HistoryFailure> written =
        writeHistory(storePath, u"INSERT OR REPLACE INTO editor_state (name, value) VALUES ("_s
                                    + storeLiteral(LastBlockName) + u", "_s + storeLiteral(key) + u')');
    if (written)
        return *written;
    return Failure{written.error().message, {}, 0};
}

Result<QString> lastOpenBlock(const QString &storePath)
{
    const Result<OpenedHistory, HistoryFailure> opened = historyDatabase(storePath, false);
    if (!opened)
        return opened.error();
    if (!opened->db)
        return QString();
    Result<ResultSet> rows =
        opened->db->query(u"SELECT value FROM editor_state WHERE name = "_s + storeLiteral(LastBlockName));
    if (!rows.ok())
        return rows.error();
    if (!rows->next())
        return QString();
    return fromStoreText(rows->text(0));
}

// ---- What an update of the originals replaced and took away (keeping/originalhistory.h) ----

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
    // The first step that failed, whose message is the one to give.
    Failure failed;
    const auto kept = [&failed](const auto &step) {
        if (!step)
            failed = step.error();
        return step.ok();
    };
    bool ok = kept(history->begin());
    for (const OriginalChange &change : changes) {
        if (!ok)
            break;
        const BlockAddress &a = change.address;
        // A newer update closes the marks an older one left on the block.
        ok = kept(history->execute(u"UPDATE original_history SET open = 0"_s + whereBlock(a)))
            && kept(history->execute(
                u"INSERT INTO original_history (replaced_at, block_table, file_name, dialogue_id, old_original, "
                "new_original, open) VALUES ("_s
                + time + u", "_s + storeLiteral(a.table) + u", "_s + storeLiteral(a.fileName) + u", "_s
                + number(a.number) + u", "_s + storeLiteral(change.oldOriginal) + u", "_s
                + storeLiteral(change.newOriginal) + u", 1)"_s));
    }
    for (const RemovedBlock &block : removed) {
        if (!ok)
            break;
        const BlockAddress &a = block.address;
        ok = kept(history->execute(
            u"INSERT INTO removed_block (removed_at, block_table, file_name, dialogue_id, text_data, width, height, "
            "comments, translated, revised, text_data_t, new_width, new_height) VALUES ("_s
            + time + u", "_s + storeLiteral(a.table) + u", "_s + storeLiteral(a.fileName) + u", "_s + number(a.number)
            + u", "_s + storeLiteral(block.textData) + u", "_s + number(block.width) + u", "_s + number(block.height)
            + u", "_s + storeLiteral(block.comments) + u", "_s + (block.translated ? u"1"_s : u"0"_s) + u", "_s
            + (block.revised ? u"1"_s : u"0"_s) + u", "_s + storeLiteral(block.textDataT) + u", "_s
            + number(block.newWidth) + u", "_s + number(block.newHeight) + u')'));
    }
    if (ok && kept(history->commit()))
        return Done{};
    const QString why = failed.message;
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

Result<std::optional<RemovedBlock>> waitingRemovedBlock(Database &history, qint64 id)
{
    Result<ResultSet> rows = history.query(RemovedColumns + u" AND id = "_s + number(id));
    if (!rows.ok())
        return rows.error();
    if (!rows->next())
        return std::optional<RemovedBlock>();
    return std::optional(removedFrom(*rows));
}

void markRestored(Database &history, qint64 id)
{
    static_cast<void>(history.execute(u"UPDATE removed_block SET restored = 1 WHERE id = "_s + number(id)));
}

// ---- The last batch (keeping/batch.h) ----

Result<qint64> newestHistoryRow(Database &history)
{
    Result<ResultSet> rows = history.query(u"SELECT coalesce(max(id), 0) FROM block_history"_s);
    if (!rows)
        return rows.error();
    return rows->next() ? rows->value(0).toLongLong() : qint64(0);
}

Result<Done> keepLastBatch(Database &history, const BatchRecord &batch)
{
    std::vector<QString> statements{
        u"DELETE FROM last_batch"_s, u"DELETE FROM last_batch_block"_s,
        u"INSERT INTO last_batch VALUES ("_s + storeLiteral(batch.reason) + u", "_s + storeLiteral(batch.backup)
            + u", "_s + QString::number(batch.time.toMSecsSinceEpoch()) + u", "_s
            + QString::number(batch.historyMark) + u')'};
    for (const BlockAddress &at : batch.blocks) {
        statements.push_back(u"INSERT INTO last_batch_block VALUES ("_s + storeLiteral(at.table) + u", "_s
                             + storeLiteral(at.fileName) + u", "_s + QString::number(at.number) + u')');
    }
    Result<Done> step = history.begin();
    for (const QString &statement : statements) {
        if (!step)
            break;
        if (const Result<QVariant> written = history.execute(statement); !written)
            step = written.error();
    }
    if (step)
        step = history.commit();
    if (!step)
        history.abandon();
    return step;
}

Result<std::optional<BatchRecord>> readLastBatch(Database &history)
{
    Result<ResultSet> head = history.query(u"SELECT reason, backup, began_at, history_mark FROM last_batch"_s);
    if (!head)
        return head.error();
    if (!head->next())
        return std::optional<BatchRecord>();
    BatchRecord batch{head->text(0), head->text(1), QDateTime::fromMSecsSinceEpoch(head->value(2).toLongLong()),
                      head->value(3).toLongLong(), {}};
    Result<ResultSet> blocks = history.query(u"SELECT block_table, file_name, dialogue_id FROM last_batch_block"_s);
    if (!blocks)
        return blocks.error();
    while (blocks->next())
        batch.changed({blocks->text(0), blocks->text(1), qint16(blocks->value(2).toLongLong())});
    return std::optional(batch);
}

Result<std::optional<BlockVersion>> versionAfter(Database &history, const BlockAddress &address, qint64 mark)
{
    Result<ResultSet> rows = history.query(u"SELECT translation, comment, revised FROM block_history"_s
                                           + whereBlock(address) + u" AND id > "_s + QString::number(mark)
                                           + u" ORDER BY id LIMIT 1"_s);
    if (!rows)
        return rows.error();
    if (!rows->next())
        return std::optional<BlockVersion>();
    return std::optional(BlockVersion{{}, rows->text(0), rows->text(1), rows->value(2).toLongLong() == 1});
}

void forgetLastBatch(Database &history)
{
    // The blocks named by a batch that is gone are never read again.
    if (history.execute(u"DELETE FROM last_batch"_s))
        static_cast<void>(history.execute(u"DELETE FROM last_batch_block"_s));
}
