#include "store/history.h"

#include "store/blockedit.h"
#include "store/database.h"
#include "store/layout.h"
#include "store/logging.h"
#include "store/sqlitehandle.h"
#include "store/storetext.h"

#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString HistoryLayout =
    u"CREATE TABLE IF NOT EXISTS block_history (id INTEGER PRIMARY KEY, replaced_at INTEGER NOT NULL, "
    "block_table TEXT NOT NULL, file_name TEXT NOT NULL, dialogue_id INTEGER NOT NULL, "
    "translation TEXT NOT NULL, comment TEXT NOT NULL, revised INTEGER NOT NULL);"
    "CREATE INDEX IF NOT EXISTS block_history_block ON block_history (block_table, file_name, dialogue_id, id);"_s;

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

} // namespace

Database *openHistoryDatabase(const QString &storePath, bool create, QString *error)
{
    const QString path = historyPath(storePath);
    OpenHistory &history = openHistory();
    const QFileInfo file(path);
    if (history.db && history.path == path && file.isFile())
        return history.db.get();
    history.db.reset();
    if (file.isSymLink()) {
        *error = u"%1 is a symbolic link; the history is written only into the program folder itself."_s.arg(
            QDir::toNativeSeparators(path));
        return nullptr;
    }
    if (!file.exists() && !create)
        return nullptr;
    {
        // The store's own connections refuse layout statements, so the tables
        // are made (or met, when an older program made the file) on one of
        // SQLite's own.
        const SqliteHandle made = openSqlite(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, error);
        if (!made)
            return nullptr;
        if (execSqlite(made.get(), u"PRAGMA journal_mode=WAL;"_s + HistoryLayout + OriginalHistoryLayout)
            != SQLITE_OK) {
            *error = sqliteMessage(made.get());
            return nullptr;
        }
    }
    auto db = std::make_unique<Database>();
    if (!openStore(*db, path)) {
        *error = db->lastError().message;
        return nullptr;
    }
    history = {path, std::move(db)};
    return history.db.get();
}

std::optional<BlockVersion> storedVersion(Database &db, const BlockAddress &address)
{
    ResultSet rows = db.query(blockSelectStatement(address));
    if (!rows.isValid() || rows.rowCount() != 1 || rows.step())
        return std::nullopt;
    BlockVersion version;
    // The translation the editor showed: none unless the block is translated.
    if (rows.value(ColTranslated).toLongLong() == 1)
        version.translation = rows.text(ColTextDataT);
    version.comment = rows.text(ColComments);
    version.revised = rows.value(ColRevised).toLongLong() == 1;
    return version;
}

QString keepEarlierVersion(const QString &storePath, const BlockAddress &address,
                           const std::optional<BlockVersion> &before, const BlockSnapshot &after, const QDateTime &now)
{
    if (!before
        || (before->translation == after.textDataT && before->comment == after.comments
            && before->revised == after.revised))
        return {};
    QString why;
    Database *history = openHistoryDatabase(storePath, true, &why);
    if (history
        && history->execute(u"INSERT INTO block_history (replaced_at, block_table, file_name, dialogue_id, "
                            "translation, comment, revised) VALUES ("_s
                            + QString::number(now.toMSecsSinceEpoch()) + u", "_s + storeLiteral(address.table) + u", "_s
                            + storeLiteral(address.fileName) + u", "_s + QString::number(address.number) + u", "_s
                            + storeLiteral(before->translation) + u", "_s + storeLiteral(before->comment) + u", "_s
                            + (before->revised ? u"1"_s : u"0"_s) + u')'))
        return {};
    if (history)
        why = history->lastError().message;
    why = u"The earlier version of block %1 of %2 could not be kept in %3: %4"_s.arg(
        QString::number(address.number), address.fileName, HistoryFileName, why);
    qCWarning(lcStore) << why;
    return why;
}

std::optional<std::vector<BlockVersion>> blockVersions(const QString &storePath, const BlockAddress &address,
                                                       QString *error)
{
    std::vector<BlockVersion> versions;
    QString why;
    Database *history = openHistoryDatabase(storePath, false, &why);
    if (!history) {
        if (why.isEmpty())
            return versions;
        if (error)
            *error = why;
        return std::nullopt;
    }
    ResultSet rows = history->query(u"SELECT replaced_at, translation, comment, revised FROM block_history"_s
                                    + whereBlock(address) + u" ORDER BY id DESC"_s);
    if (!rows.isValid()) {
        if (error)
            *error = rows.error().message;
        return std::nullopt;
    }
    while (!rows.step()) {
        versions.push_back({QDateTime::fromMSecsSinceEpoch(rows.value(0).toLongLong()), fromStoreText(rows.text(1)),
                            fromStoreText(rows.text(2)), rows.value(3).toLongLong() == 1});
    }
    return versions;
}

namespace {

// Words (letters and digits) stay whole; every other character stands alone,
// so that a changed tag or space shows as itself.
QStringList tokens(const QString &text)
{
    QStringList list;
    qsizetype i = 0;
    while (i < text.size()) {
        qsizetype end = i + 1;
        if (text.at(i).isLetterOrNumber()) {
            while (end < text.size() && text.at(end).isLetterOrNumber())
                ++end;
        }
        list << text.mid(i, end - i);
        i = end;
    }
    return list;
}

void append(std::vector<TextChange> &changes, TextChange::Kind kind, const QString &text)
{
    if (text.isEmpty())
        return;
    if (!changes.empty() && changes.back().kind == kind)
        changes.back().text += text;
    else
        changes.push_back({kind, text});
}

// Past this many cells the middle of two long, very different texts shows
// as removed and added whole: the table would cost more than it tells.
constexpr qsizetype MaxTableCells = 1 << 22;

} // namespace

std::vector<TextChange> textChanges(const QString &from, const QString &to)
{
    const QStringList a = tokens(from), b = tokens(to);
    qsizetype head = 0;
    while (head < a.size() && head < b.size() && a.at(head) == b.at(head))
        ++head;
    qsizetype tail = 0;
    while (tail < a.size() - head && tail < b.size() - head && a.at(a.size() - 1 - tail) == b.at(b.size() - 1 - tail))
        ++tail;

    std::vector<TextChange> changes;
    append(changes, TextChange::Same, a.mid(0, head).join(QString()));
    const qsizetype n = a.size() - head - tail, m = b.size() - head - tail;
    if (n * m > MaxTableCells) {
        append(changes, TextChange::Removed, a.mid(head, n).join(QString()));
        append(changes, TextChange::Added, b.mid(head, m).join(QString()));
    } else {
        // Longest common subsequence of the middles, from the end backwards.
        std::vector<int> table(size_t((n + 1) * (m + 1)), 0);
        auto cell = [&](qsizetype i, qsizetype j) -> int & { return table[size_t(i * (m + 1) + j)]; };
        for (qsizetype i = n - 1; i >= 0; --i) {
            for (qsizetype j = m - 1; j >= 0; --j) {
                cell(i, j) = a.at(head + i) == b.at(head + j) ? cell(i + 1, j + 1) + 1
                                                               : std::max(cell(i + 1, j), cell(i, j + 1));
            }
        }
        qsizetype i = 0, j = 0;
        while (i < n || j < m) {
            if (i < n && j < m && a.at(head + i) == b.at(head + j)) {
                append(changes, TextChange::Same, a.at(head + i));
                ++i;
                ++j;
            } else if (i < n && (j == m || cell(i + 1, j) >= cell(i, j + 1))) {
                append(changes, TextChange::Removed, a.at(head + i++));
            } else {
                append(changes, TextChange::Added, b.at(head + j++));
            }
        }
    }
    append(changes, TextChange::Same, a.mid(a.size() - tail).join(QString()));
    return changes;
}
