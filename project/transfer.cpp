#include "project/transfer.h"

#include "project/sqlitestore.h"

#include "server/schema.h"
#include "keeping/backup.h"
#include "store/database.h"
#include "store/layout.h"
#include "files/programfolder.h"
#include "store/storetext.h"

#include <QCoreApplication>
#include <QFile>

using namespace Qt::StringLiterals;

namespace {

struct Snapshot
{
    std::array<std::vector<BlockRow>, 3> blocks;
    std::vector<LinkColumns> links;
};

// Beside a server the local file is one of two stores: say which failed.
Failure localReadFailure(const QString &what, const Failure &failure)
{
    return Failure{u"The local store's %1 could not be read: %2"_s.arg(what, failure.message), failure.sqlState,
                   failure.code};
}

// Writes the rows into a new store file at `path`; empty when done.
QString writeLocalStore(const QString &path, const Snapshot &snapshot)
{
    if (const Result<Done> made = createStore(path); !made)
        return made.error().message;
    // Every copy is removed after use or copied again into backups/, which
    // flushes its own: the disk's flushes here would only be waited for.
    Database db;
    if (const Result<Done> opened = db.open(path); !opened)
        return opened.error().message;
    if (const Result<Done> configured = db.configure(Database::ThrowawayCopy); !configured)
        return configured.error().message;
    if (const Result<Done> begun = db.begin(); !begun)
        return begun.error().message;
    SqliteStore local(db);
    for (size_t t = 0; t < ScriptTables::all.size(); ++t) {
        if (Result<qint64> written = local.importBlocks(ScriptTables::all[t], snapshot.blocks[t]); !written)
            return written.error().message;
    }
    if (Result<qint64> written = local.importLinks(snapshot.links); !written)
        return written.error().message;
    const Result<Done> committed = db.commit();
    return committed ? QString() : committed.error().message;
}

void removeStoreFiles(const QString &path)
{
    for (const QString &suffix : {QString(), u"-journal"_s, u"-wal"_s, u"-shm"_s})
        QFile::remove(path + suffix);
}

} // namespace

Result<ServerTransfer::Uploaded> ServerTransfer::setUp(ServerStore &server, Database *from)
{
    Result<Uploaded> made = server.connection().transaction<Uploaded>([&]() -> Result<Uploaded> {
        // The lead told to run server-init on an earlier store gets it up
        // to date; rows from a local store would double the server's.
        Result<bool> upgraded = ServerSchema::upgrade(server.connection());
        if (!upgraded)
            return upgraded.error();
        if (*upgraded && from)
            return Failure{u"The database %1 holds a Tallowpen store already; --from-store uploads only into an "
                               "empty database. Run server-init without it to bring the store up to date. "
                               "Nothing was changed."_s.arg(server.connection().where()),
                           {}};
        if (*upgraded)
            return Uploaded{0, 0, true};
        if (Result<Done> made = ServerSchema::create(server.connection()); !made)
            return made.error();
        Uploaded uploaded;
        if (!from)
            return uploaded;
        SqliteStore local(*from);
        for (const QString &table : ScriptTables::all) {
            Result<std::vector<BlockRow>> rows = local.blockRows(table);
            if (!rows)
                return localReadFailure(table, rows.error());
            Result<qint64> copied = server.importBlocks(table, *rows);
            if (!copied)
                return copied.error();
            uploaded.blocks += *copied;
        }
        Result<std::vector<LinkColumns>> links = local.links();
        if (!links)
            return localReadFailure(u"word links"_s, links.error());
        Result<qint64> copied = server.importLinks(*links);
        if (!copied)
            return copied.error();
        uploaded.links = *copied;
        return uploaded;
    });
    // Fresh statistics and visibility let the counts after every save read
    // the small indexes alone (2 ms instead of 45 over the whole corpus).
    // Outside the transaction, as VACUUM must be; a failure here costs only
    // speed until autovacuum comes by.
    if (made)
        static_cast<void>(server.connection().runScript("VACUUM (ANALYZE) battling_arena, battle_script, field, suggestion"));
    return made;
}

namespace {

// Every table and the links as one moment of the server saw them.
template <typename Read, typename RowsOf>
Result<Read> readAtOneMoment(ServerStore &server, RowsOf rowsOf)
{
    return server.connection().transaction<Read>(
        [&]() -> Result<Read> {
            Read read;
            for (size_t t = 0; t < ScriptTables::all.size(); ++t) {
                auto rows = rowsOf(ScriptTables::all[t]);
                if (!rows)
                    return rows.error();
                read.blocks[t] = std::move(*rows);
            }
            Result<std::vector<LinkColumns>> links = server.links();
            if (!links)
                return links.error();
            read.links = std::move(*links);
            return read;
        },
        "BEGIN ISOLATION LEVEL REPEATABLE READ, READ ONLY");
}

Result<Snapshot> readSnapshot(ServerStore &server)
{
    return readAtOneMoment<Snapshot>(server, [&](const QString &table) { return server.blockRows(table); });
}

} // namespace

Result<Done> ServerTransfer::writeCopy(ServerStore &server, const QString &path)
{
    Result<Snapshot> snapshot = readSnapshot(server);
    if (!snapshot)
        return snapshot.error();
    removeStoreFiles(path);
    if (const QString why = writeLocalStore(path, *snapshot); !why.isEmpty()) {
        removeStoreFiles(path);
        return Failure{u"The copy of the server's store could not be written into the program folder: %1"_s.arg(why),
                       {}};
    }
    return Done{};
}

Result<ServerTransfer::StoredSnapshot> ServerTransfer::readStoredSnapshot(ServerStore &server)
{
    return readAtOneMoment<StoredSnapshot>(server, [&](const QString &table) { return server.storedRows(table); });
}

Result<ServerTransfer::StoredSnapshot> ServerTransfer::writeWorkingCopy(ServerStore &server, const QString &path)
{
    Result<StoredSnapshot> stored = readStoredSnapshot(server);
    if (!stored)
        return stored.error();
    Snapshot plain;
    for (size_t t = 0; t < plain.blocks.size(); ++t) {
        plain.blocks[t].reserve(stored->blocks[t].size());
        for (const StoredRow &row : stored->blocks[t])
            plain.blocks[t].push_back(row.row);
    }
    plain.links = stored->links;
    removeStoreFiles(path);
    if (const QString why = writeLocalStore(path, plain); !why.isEmpty()) {
        removeStoreFiles(path);
        return Failure{u"The copy of the server's store could not be written into the program folder: %1"_s.arg(why),
                       {}};
    }
    return stored;
}

Result<StoreChange> ServerTransfer::changesSince(const StoredSnapshot &snapshot, const QString &path)
{
    Result<std::unique_ptr<SqliteStore>> local = SqliteStore::open(path);
    if (!local)
        return local.error();
    std::array<std::vector<BlockRow>, 3> after;
    for (size_t t = 0; t < after.size(); ++t) {
        Result<std::vector<BlockRow>> rows = (*local)->blockRows(ScriptTables::all[t]);
        if (!rows)
            return localReadFailure(ScriptTables::all[t], rows.error());
        after[t] = std::move(*rows);
    }
    Result<std::vector<LinkColumns>> links = (*local)->links();
    if (!links)
        return localReadFailure(u"word links"_s, links.error());
    StoreChange change = compareStores(snapshot.blocks, snapshot.links, after, *links);
    // What an update of the originals kept beside the copy is the server's to keep.
    Result<QHash<QString, OriginalChange>> marks = changedOriginals(path);
    if (!marks)
        return marks.error();
    change.originalChanges.assign(marks->cbegin(), marks->cend());
    Result<std::vector<RemovedBlock>> removed = removedBlocks(path);
    if (!removed)
        return removed.error();
    change.removedBlocks = std::move(*removed);
    return change;
}

void ServerTransfer::removeCopy(const QString &path)
{
    removeStoreFiles(path);
}

Result<QString> ServerTransfer::pull(ServerStore &server, const QString &programFolder, const QDateTime &now)
{
    Result<Snapshot> snapshot = readSnapshot(server);
    if (!snapshot)
        return snapshot.error();

    // Made beside the store, then copied into backups/ the way every copy is.
    const QString part = programPath(programFolder, u".pull-%1.db"_s.arg(QCoreApplication::applicationPid()));
    removeStoreFiles(part);
    const QString why = writeLocalStore(part, *snapshot);
    const Backups::Outcome kept = why.isEmpty() ? Backups::keepCopy(programFolder, part, Backups::Reason::Pull, now)
                                                : Backups::Outcome(Backups::backupFailure(why));
    removeStoreFiles(part);
    if (!kept)
        return Failure{u"The copy of the server's store could not be written into the program folder: %1"_s.arg(
                               kept.error().message),
                           {}};
    return *kept;
}
