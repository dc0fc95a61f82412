#include "server/transfer.h"

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

Result<std::vector<BlockRow>> localBlocks(Database &db, const QString &table)
{
    Result<ResultSet> rows = db.query(u"SELECT * FROM "_s + table);
    if (!rows.ok())
        return Failure{u"The local store's %1 could not be read: %2"_s.arg(table, rows.error().message), {}};
    std::vector<BlockRow> out;
    out.reserve(size_t(rows->rowCount()));
    while (rows->next()) {
        BlockRow &row = out.emplace_back();
        for (int column = 0; column < int(row.size()); ++column)
            row[size_t(column)] = rows->value(column);
    }
    return out;
}

Result<std::vector<LinkRow>> localLinks(Database &db)
{
    Result<ResultSet> rows = db.query(u"SELECT * FROM suggestion"_s);
    if (!rows.ok())
        return Failure{u"The local store's word links could not be read: %1"_s.arg(rows.error().message), {}};
    std::vector<LinkRow> out;
    while (rows->next()) {
        LinkRow &row = out.emplace_back();
        for (int column = 0; column < int(row.size()); ++column)
            row[size_t(column)] = rows->text(column);
    }
    return out;
}

QString numberLiteral(const QVariant &value)
{
    return value.isNull() ? u"NULL"_s : QString::number(value.toLongLong());
}

QString blockInsert(const QString &table, const BlockRow &row)
{
    return u"INSERT INTO "_s + table
        + u" (file_name,dialogue_id,text_data,width,height,comments,translated,revised,text_data_t,new_width,"
          "new_height) VALUES ("_s
        + storeLiteral(row[ColFileName].toString()) + u',' + numberLiteral(row[ColDialogueId]) + u','
        + storeLiteral(row[ColTextData].toString()) + u',' + numberLiteral(row[ColWidth]) + u','
        + numberLiteral(row[ColHeight]) + u',' + storeLiteral(row[ColComments].toString()) + u','
        + numberLiteral(row[ColTranslated]) + u',' + numberLiteral(row[ColRevised]) + u','
        + storeLiteral(row[ColTextDataT].toString()) + u',' + numberLiteral(row[ColNewWidth]) + u','
        + numberLiteral(row[ColNewHeight]) + u')';
}

QString linkInsert(const LinkRow &row)
{
    QString values;
    for (const QString &text : row)
        values += (values.isEmpty() ? QString() : u","_s) + storeLiteral(text);
    return u"INSERT INTO suggestion (word,suggest1,suggest2,suggest3,suggest4,suggest5,comment) VALUES ("_s + values
        + u')';
}

struct Snapshot
{
    std::array<std::vector<BlockRow>, 3> blocks;
    std::vector<LinkRow> links;
};

// Writes the rows into a new store file at `path`; empty when done.
QString writeLocalStore(const QString &path, const Snapshot &snapshot)
{
    if (const Result<Done> made = createStore(path); !made)
        return made.error().message;
    Database db;
    if (!openStore(db, path) || !db.begin())
        return db.lastError().message;
    for (size_t t = 0; t < ScriptTables::all.size(); ++t) {
        for (const BlockRow &row : snapshot.blocks[t]) {
            if (!db.execute(blockInsert(ScriptTables::all[t], row)))
                return db.lastError().message;
        }
    }
    for (const LinkRow &row : snapshot.links) {
        if (!db.execute(linkInsert(row)))
            return db.lastError().message;
    }
    return db.commit() ? QString() : db.lastError().message;
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
        if (Result<Done> made = ServerSchema::create(server.connection()); !made)
            return made.error();
        Uploaded uploaded;
        if (!from)
            return uploaded;
        for (const QString &table : ScriptTables::all) {
            Result<std::vector<BlockRow>> rows = localBlocks(*from, table);
            if (!rows)
                return rows.error();
            Result<qint64> copied = server.importBlocks(table, *rows);
            if (!copied)
                return copied.error();
            uploaded.blocks += *copied;
        }
        Result<std::vector<LinkRow>> links = localLinks(*from);
        if (!links)
            return links.error();
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

Result<QString> ServerTransfer::pull(ServerStore &server, const QString &programFolder, const QDateTime &now)
{
    Result<Snapshot> snapshot = server.connection().transaction<Snapshot>(
        [&]() -> Result<Snapshot> {
            Snapshot read;
            for (size_t t = 0; t < ScriptTables::all.size(); ++t) {
                Result<std::vector<BlockRow>> rows = server.blockRows(ScriptTables::all[t]);
                if (!rows)
                    return rows.error();
                read.blocks[t] = std::move(*rows);
            }
            Result<std::vector<LinkRow>> links = server.links();
            if (!links)
                return links.error();
            read.links = std::move(*links);
            return read;
        },
        "BEGIN ISOLATION LEVEL REPEATABLE READ, READ ONLY");
    if (!snapshot)
        return snapshot.error();

    // Made beside the store, then copied into backups/ the way every copy is.
    const QString part = programPath(programFolder, u".pull-%1.db"_s.arg(QCoreApplication::applicationPid()));
    removeStoreFiles(part);
    const QString why = writeLocalStore(part, *snapshot);
    Backups::Outcome kept{false, {}, why};
    if (why.isEmpty())
        kept = Backups::keepCopy(programFolder, part, Backups::Reason::Pull, now);
    removeStoreFiles(part);
    if (!kept.ok)
        return Failure{u"The copy of the server's store could not be written into the program folder: %1"_s.arg(
                               kept.message),
                           {}};
    return kept.file;
}
