#include "server/outbox.h"

#include "server/serverstore.h"
#include "store/sqlitehandle.h"
#include "store/storetext.h"

#include <sqlite3.h>

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

QString literalOrNull(const std::optional<qint64> &version)
{
    return version ? QString::number(*version) : u"NULL"_s;
}

} // namespace

Outbox::Outbox(QString path)
    : m_path(std::move(path))
{
}

Result<Done> Outbox::ready()
{
    if (m_db.isOpen())
        return Done{};
    const auto unusable = [this](const QString &why) {
        return Failure{u"The outbox %1 cannot be used (%2); the edit stays in the editor. Check that the program "
                       "folder is writable."_s.arg(QDir::toNativeSeparators(m_path), why),
                       {}};
    };
    if (!QFileInfo::exists(m_path)) {
        const Result<SqliteHandle> opened = openSqlite(m_path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        if (!opened)
            return unusable(opened.error().message);
        const SqliteHandle &made = *opened;
        if (execSqlite(made.get(), u"CREATE TABLE IF NOT EXISTS outbox (id INTEGER PRIMARY KEY, block_key TEXT NOT "
                                   "NULL UNIQUE, node_text TEXT NOT NULL, translation TEXT NOT NULL, comment TEXT NOT "
                                   "NULL, revised INTEGER NOT NULL, base_version INTEGER, queued_at TEXT NOT NULL)"_s)
            != SQLITE_OK)
            return unusable(sqliteMessage(made.get()));
    }
    if (const Result<Done> opened = m_db.open(m_path); !opened)
        return unusable(opened.error().message);
    return Done{};
}

Result<Done> Outbox::add(const OutboxEdit &edit)
{
    if (Result<Done> open = ready(); !open)
        return open;
    const QString now = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    const Result<QVariant> kept = m_db.execute(u"INSERT INTO outbox (block_key, node_text, translation, comment, revised, base_version, "
                      "queued_at) VALUES (%1, %2, %3, %4, %5, %6, %7) ON CONFLICT (block_key) DO UPDATE SET "
                      "node_text = excluded.node_text, translation = excluded.translation, comment = "
                      "excluded.comment, revised = excluded.revised, queued_at = excluded.queued_at"_s.arg(
                          storeLiteral(edit.key), storeLiteral(edit.nodeText), storeLiteral(edit.translation),
                          storeLiteral(edit.comment), QString::number(int(edit.revised)),
                          literalOrNull(edit.baseVersion), storeLiteral(now)));
    if (!kept)
        return Failure{u"The edit of %1 could not be kept in the outbox %2 (%3); it stays in the editor."_s.arg(
                           edit.key, QDir::toNativeSeparators(m_path), kept.error().message),
                       {}};
    return Done{};
}

Result<std::vector<OutboxEdit>> Outbox::pending()
{
    if (!m_db.isOpen() && !QFileInfo::exists(m_path))
        return std::vector<OutboxEdit>{};
    if (Result<Done> open = ready(); !open)
        return open.error();
    Result<ResultSet> rows = m_db.query(u"SELECT id, block_key, node_text, translation, comment, revised, "
                                        "base_version, queued_at FROM outbox ORDER BY id"_s);
    if (!rows)
        return rows.error();
    std::vector<OutboxEdit> edits;
    while (rows->next()) {
        OutboxEdit edit{rows->value(0).toLongLong(), fromStoreText(rows->text(1)), fromStoreText(rows->text(2)),
                        fromStoreText(rows->text(3)), fromStoreText(rows->text(4)), rows->value(5).toInt() == 1,
                        std::nullopt, rows->text(7)};
        if (!rows->value(6).isNull())
            edit.baseVersion = rows->value(6).toLongLong();
        edits.push_back(std::move(edit));
    }
    return edits;
}

Result<Done> Outbox::remove(qint64 id)
{
    if (Result<Done> open = ready(); !open)
        return open;
    if (const Result<QVariant> removed = m_db.execute(u"DELETE FROM outbox WHERE id = %1"_s.arg(id)); !removed)
        return removed.error();
    return Done{};
}

Outbox::Replay Outbox::replay(ServerStore &store)
{
    Replay replay;
    Result<std::vector<OutboxEdit>> edits = pending();
    if (!edits) {
        replay.stopped = edits.error();
        return replay;
    }
    for (const OutboxEdit &edit : *edits) {
        // Without a base version the check reads the one the server holds
        // just before writing: there is nothing older to hold it against.
        VersionGuard guard{edit.baseVersion, {}};
        Result<BlockSave> saved =
            store.saveBlock(edit.key, edit.nodeText, {edit.translation, edit.comment, edit.revised}, nullptr, &guard);
        if (!saved && VersionCheck::isConflict(saved.error())) {
            replay.conflicts.push_back(edit);
            continue;
        }
        if (!saved) {
            replay.stopped = saved.error();
            return replay;
        }
        if (Result<Done> gone = remove(edit.id); !gone) {
            replay.stopped = gone.error();
            return replay;
        }
        replay.saved.push_back(edit);
        replay.saved.back().baseVersion = guard.saved;
    }
    return replay;
}
