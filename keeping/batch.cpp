#include "keeping/batch.h"

#include "keeping/backup.h"
#include "store/database.h"
#include "keeping/history.h"
#include "store/storetext.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

QString whereBlock(const BlockAddress &address)
{
    return u" WHERE block_table = "_s + storeLiteral(address.table) + u" AND file_name = "_s
        + storeLiteral(address.fileName) + u" AND dialogue_id = "_s + QString::number(address.number);
}

} // namespace

Result<BatchRecord> beginBatch(Database &db, const QString &reason)
{
    BatchRecord batch;
    batch.reason = reason;
    batch.time = QDateTime::currentDateTime();
    const Result<Database *> opened = historyStore(db.path(), true);
    QString why = opened ? QString() : opened.error().message;
    if (Database *history = opened ? *opened : nullptr) {
        Result<ResultSet> rows = history->query(u"SELECT coalesce(max(id), 0) FROM block_history"_s);
        if (rows.ok() && rows->next())
            batch.historyMark = rows->value(0).toLongLong();
        else
            why = rows.error().message;
    }
    if (!why.isEmpty())
        return Failure{u"The history in %1 cannot be read (%2), so the change could not be undone; nothing was "
                       "changed."_s.arg(HistoryFileName, why), {}};
    const Backups::Outcome backup = Backups::makeBackup(QFileInfo(db.path()).absolutePath(), reason, batch.time);
    if (!backup.ok)
        return Failure{backup.message + u" Nothing was changed; free some room or fix the folder and try again."_s, {}};
    batch.backup = backup.file;
    return batch;
}

QString recordBatch(const QString &storePath, const BatchRecord &batch)
{
    const Result<Database *> opened = historyStore(storePath, true);
    if (!opened)
        return opened.error().message;
    Database *history = *opened;
    bool ok = history->begin() && history->execute(u"DELETE FROM last_batch"_s)
        && history->execute(u"DELETE FROM last_batch_block"_s)
        && history->execute(u"INSERT INTO last_batch VALUES ("_s + storeLiteral(batch.reason) + u", "_s
                            + storeLiteral(batch.backup) + u", "_s + QString::number(batch.time.toMSecsSinceEpoch())
                            + u", "_s + QString::number(batch.historyMark) + u')');
    for (const BlockAddress &at : batch.blocks) {
        ok = ok
            && history->execute(u"INSERT INTO last_batch_block VALUES ("_s + storeLiteral(at.table) + u", "_s
                                + storeLiteral(at.fileName) + u", "_s + QString::number(at.number) + u')');
    }
    if (ok && history->commit())
        return {};
    const QString why = history->lastError().message;
    history->abandon();
    return u"The batch could not be kept in %1 (%2): Undo Last Batch cannot undo it; its backup %3 can."_s.arg(
        HistoryFileName, why, batch.backup);
}

Result<std::optional<BatchRecord>> lastBatch(const QString &storePath)
{
    const Result<Database *> opened = historyStore(storePath, false);
    if (!opened)
        return opened.error();
    Database *history = *opened;
    if (!history)
        return std::optional<BatchRecord>();
    Result<ResultSet> head = history->query(u"SELECT reason, backup, began_at, history_mark FROM last_batch"_s);
    if (!head)
        return head.error();
    if (!head->next())
        return std::optional<BatchRecord>();
    BatchRecord batch{head->text(0), head->text(1), QDateTime::fromMSecsSinceEpoch(head->value(2).toLongLong()),
                      head->value(3).toLongLong(), {}};
    Result<ResultSet> blocks = history->query(u"SELECT block_table, file_name, dialogue_id FROM last_batch_block"_s);
    if (!blocks)
        return blocks.error();
    while (blocks->next())
        batch.changed({blocks->text(0), blocks->text(1), qint16(blocks->value(2).toLongLong())});
    return std::optional(batch);
}

QString batchCaption(const QString &reason)
{
    if (reason == BatchReason::Fit)
        return u"Fit Overflowing Blocks"_s;
    if (reason == BatchReason::Repeats)
        return u"Apply to Repeats"_s;
    if (reason == Backups::Reason::Replace)
        return u"Replace"_s;
    if (reason == u"import-xliff" || reason == u"import-po")
        return u"Import Translation File"_s;
    return reason;
}

BatchUndo undoBatch(Database &db, const BatchRecord &batch)
{
    BatchUndo undo;
    const Result<Database *> opened = historyStore(db.path(), false);
    const QString why = opened ? QString() : opened.error().message;
    Database *history = opened ? *opened : nullptr;
    const auto failed = [&](const QString &message) {
        db.abandon();
        undo.saved.clear();
        undo.problems = QStringList{message};
        return undo;
    };
    if (!history)
        return failed(u"The history cannot be read (%1)."_s.arg(why.isEmpty() ? HistoryFileName + u" is gone"_s : why));
    if (!db.begin())
        return failed(db.lastError().message);
    for (const BlockAddress &at : batch.blocks) {
        const QString key = blockKey(at.table, at.fileName, at.number);
        Result<ResultSet> rows = history->query(u"SELECT translation, comment, revised FROM block_history"_s + whereBlock(at)
                                        + u" AND id > "_s + QString::number(batch.historyMark)
                                        + u" ORDER BY id LIMIT 1"_s);
        if (!rows.ok() || !rows->next())
            return failed(u"Block %1 of %2 has no history row from before the batch."_s.arg(at.number).arg(at.fileName));
        const BlockEdits before{fromStoreText(rows->text(0)), fromStoreText(rows->text(1)),
                                rows->value(2).toLongLong() == 1};
        const BlockLoad load = loadBlock(db, key);
        if (load.outcome != BlockLoad::Outcome::Loaded)
            return failed(u"Block %1 of %2 is gone."_s.arg(at.number).arg(at.fileName));
        const QString nodeText = QString::number(at.number) + (load.comment.isEmpty() ? QString() : u"[c]"_s);
        BlockSave save = saveBlock(db, key, nodeText, before, load.stored ? &*load.stored : nullptr);
        if (!save.ok)
            return failed(save.message);
        undo.saved.emplace_back(key, std::move(save));
    }
    if (!db.commit())
        return failed(db.lastError().message);
    // Undone: the same batch cannot be undone twice.
    // The blocks named by a batch that is gone are never read again.
    if (history->execute(u"DELETE FROM last_batch"_s))
        static_cast<void>(history->execute(u"DELETE FROM last_batch_block"_s));
    return undo;
}
