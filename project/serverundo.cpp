#include "project/serverundo.h"

#include "project/workingcopy.h"

#include "files/programfolder.h"
#include "files/safefile.h"
#include "server/versioncheck.h"
#include "store/layout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {

// A value as the store gave it: null, a whole number or a text.
QJsonValue jsonOf(const QVariant &value)
{
    if (value.isNull())
        return QJsonValue::Null;
    if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int)
        return double(value.toLongLong());
    return value.toString();
}

QVariant valueOf(const QJsonValue &value)
{
    if (value.isDouble())
        return qlonglong(value.toDouble());
    return value.isString() ? QVariant(value.toString()) : QVariant();
}

QString recordPath(const QString &programFolder)
{
    return programPath(programFolder, LastServerBatchFileName);
}

} // namespace

std::optional<ServerBatchRecord> serverBatchOf(const QString &server, const BatchRecord &batch,
                                               const QString &backup, const StoreChange &written)
{
    ServerBatchRecord record{server, batch.reason, backup, batch.time, {}};
    for (const TableChange &table : written.tables) {
        if (table.replaced)
            return std::nullopt;
        for (const auto &[index, row] : table.changed) {
            const StoredRow &was = table.before[index];
            record.blocks.push_back({table.table, was.id, was.version + 1, was.row});
        }
    }
    if (record.blocks.empty())
        return std::nullopt;
    return record;
}

QString keepServerBatch(const QString &programFolder, const ServerBatchRecord &record)
{
    QJsonArray blocks;
    for (const ServerBatchRecord::Block &block : record.blocks) {
        QJsonArray before;
        for (const QVariant &value : block.before)
            before.append(jsonOf(value));
        blocks.append(QJsonObject{{u"table"_s, block.table},
                                  {u"id"_s, double(block.id)},
                                  {u"version"_s, double(block.version)},
                                  {u"before"_s, before}});
    }
    const QJsonObject root{{u"server"_s, record.server},
                           {u"reason"_s, record.reason},
                           {u"backup"_s, record.backup},
                           {u"time"_s, record.time.toString(Qt::ISODateWithMs)},
                           {u"blocks"_s, blocks}};
    const QString path = recordPath(programFolder);
    const Result<Done> written =
        SafeFile::writeWhole(path, QJsonDocument(root).toJson(QJsonDocument::Compact), programFolder);
    if (!written) {
        return u"The batch could not be kept in %1 (%2): Undo Last Batch cannot undo it; its backup %3 can."_s.arg(
            QDir::toNativeSeparators(path), written.error().message, record.backup);
    }
    return {};
}

QString keepWrittenBatch(const QString &programFolder, const QString &server, const WorkingCopy &copy)
{
    const Result<std::optional<BatchRecord>> recorded = lastBatch(copy.path());
    if (!recorded || !*recorded)
        return {};
    const BatchRecord &batch = **recorded;
    const std::optional<ServerBatchRecord> record =
        serverBatchOf(server, batch, copy.keptAs(batch.backup), copy.written());
    return record ? keepServerBatch(programFolder, *record) : QString();
}

Result<std::optional<ServerBatchRecord>> lastServerBatch(const QString &programFolder, const QString &server)
{
    const QString path = recordPath(programFolder);
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return std::optional<ServerBatchRecord>();
    const auto unreadable = [&](const QString &why) {
        return Failure{u"%1 cannot be read (%2); delete it to start over."_s.arg(QDir::toNativeSeparators(path), why),
                       {}};
    };
    // A FIFO or a device in its place must not block the window.
    const Result<QByteArray> bytes = SafeFile::readRegular(path);
    if (!bytes)
        return unreadable(bytes.error().message);
    QJsonParseError error;
    const QJsonObject root = QJsonDocument::fromJson(*bytes, &error).object();
    if (error.error != QJsonParseError::NoError)
        return unreadable(error.errorString());
    if (root[u"server"_s].toString() != server)
        return std::optional<ServerBatchRecord>();
    ServerBatchRecord record{server, root[u"reason"_s].toString(), root[u"backup"_s].toString(),
                             QDateTime::fromString(root[u"time"_s].toString(), Qt::ISODateWithMs), {}};
    for (const QJsonValue &value : root[u"blocks"_s].toArray()) {
        const QJsonObject block = value.toObject();
        const QJsonArray before = block[u"before"_s].toArray();
        ServerBatchRecord::Block kept{block[u"table"_s].toString(), qint64(block[u"id"_s].toDouble()),
                                      qint64(block[u"version"_s].toDouble()), {}};
        if (before.size() != qsizetype(kept.before.size()))
            return unreadable(u"a block's values are incomplete"_s);
        for (size_t column = 0; column < kept.before.size(); ++column)
            kept.before[column] = valueOf(before[qsizetype(column)]);
        record.blocks.push_back(std::move(kept));
    }
    return std::optional<ServerBatchRecord>(std::move(record));
}

Result<qint64> undoServerBatch(ProjectStore &store, const QString &programFolder, const ServerBatchRecord &record)
{
    StoreChange change;
    QHash<QString, size_t> tables; // into change.tables
    QHash<QString, QHash<qint64, size_t>> rowsById;
    for (const ServerBatchRecord::Block &block : record.blocks) {
        if (!tables.contains(block.table)) {
            Result<std::vector<StoredRow>> rows = store.storedRows(block.table);
            if (!rows)
                return rows.error();
            QHash<qint64, size_t> &byId = rowsById[block.table];
            for (size_t index = 0; index < rows->size(); ++index)
                byId.insert((*rows)[index].id, index);
            tables.insert(block.table, change.tables.size());
            change.tables.push_back({block.table, std::move(*rows), {}, std::nullopt});
        }
        TableChange &table = change.tables[tables.value(block.table)];
        const BlockAddress at{block.table, block.before[ColFileName].toString(),
                              qint16(block.before[ColDialogueId].toInt())};
        const auto found = rowsById[block.table].constFind(block.id);
        if (found == rowsById[block.table].cend())
            return Failure{u"Conflict: block %1 of %2 was taken out since the batch; nothing was undone."_s.arg(
                               QString::number(at.number), at.fileName),
                           VersionCheck::ConflictState};
        const StoredRow &now = table.before[*found];
        if (now.version != block.version)
            return Failure{u"Conflict: %1 changed block %2 of %3 at %4 since the batch (now version %5, the batch "
                           "left version %6); nothing was undone."_s.arg(now.updatedBy, QString::number(at.number),
                                                                        at.fileName, now.updatedAt,
                                                                        QString::number(now.version),
                                                                        QString::number(block.version)),
                           VersionCheck::ConflictState};
        table.changed.emplace_back(*found, block.before);
    }
    Result<qint64> written = store.writeChange(change);
    // Undone: the same batch cannot be undone twice.
    if (written)
        QFile::remove(recordPath(programFolder));
    return written;
}
