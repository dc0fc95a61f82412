#include "keeping/batch.h"

#include "keeping/backup.h"
#include "store/database.h"
#include "keeping/historystore.h"
#include "store/storetext.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

Result<BatchRecord> beginBatch(Database &db, const QString &reason)
{
    BatchRecord batch;
    batch.reason = reason;
    batch.time = QDateTime::currentDateTime();
    const Result<Database *> opened = historyStore(db.path(), true);
    QString why = opened ? QString() : opened.error().message;
    if (Database *history = opened ? *opened : nullptr) {
        if (const Result<qint64> mark = newestHistoryRow(*history))
            batch.historyMark = *mark;
        else
            why = mark.error().message;
    }
    if (!why.isEmpty())
        return Failure{u"The history in %1 cannot be read (%2), so the change could not be undone; nothing was "
                       "changed."_s.arg(HistoryFileName, why), {}};
    const Backups::Outcome backup = Backups::makeBackup(QFileInfo(db.path()).absolutePath(), reason, batch.time);
    if (!backup)
        return Failure{backup.error().message + u" Nothing was changed; free some room or fix the folder and try again."_s,
                       {}};
    batch.backup = *backup;
    return batch;
}

QString recordBatch(const QString &storePath, const BatchRecord &batch)
{
    const Result<Database *> opened = historyStore(storePath, true);
    if (!opened)
        return opened.error().message;
    if (const Result<Done> kept = keepLastBatch(**opened, batch); !kept)
        return u"The batch could not be kept in %1 (%2): Undo Last Batch cannot undo it; its backup %3 can."_s.arg(
            HistoryFileName, kept.error().message, batch.backup);
    return {};
}

Result<std::optional<BatchRecord>> lastBatch(const QString &storePath)
{
    const Result<Database *> opened = historyStore(storePath, false);
    if (!opened)
        return opened.error();
    Database *history = *opened;
    if (!history)
        return std::optional<BatchRecord>();
    return readLastBatch(*history);
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
    if (const Result<Done> begun = db.begin(); !begun)
        return failed(begun.error().message);
    for (const BlockAddress &at : batch.blocks) {
        const QString key = blockKey(at.table, at.fileName, at.number);
        const Result<std::optional<BlockVersion>> kept = versionAfter(*history, at, batch.historyMark);
        if (!kept)
            return failed(u"The history cannot be read (%1)."_s.arg(kept.error().message));
        if (!*kept)
            return failed(u"Block %1 of %2 has no history row from before the batch."_s.arg(at.number).arg(at.fileName));
        const BlockEdits before{fromStoreText((*kept)->translation), fromStoreText((*kept)->comment), (*kept)->revised};
        const BlockLoad load = loadBlock(db, key);
        if (load.outcome != BlockLoad::Outcome::Loaded)
            return failed(u"Block %1 of %2 is gone."_s.arg(at.number).arg(at.fileName));
        const QString nodeText = QString::number(at.number) + (load.comment.isEmpty() ? QString() : u"[c]"_s);
        Result<BlockSave> save = saveBlock(db, key, nodeText, before, load.stored ? &*load.stored : nullptr);
        if (!save)
            return failed(save.error().message);
        undo.saved.emplace_back(key, std::move(*save));
    }
    if (const Result<Done> committed = db.commit(); !committed)
        return failed(committed.error().message);
    // Undone: the same batch cannot be undone twice.
    forgetLastBatch(*history);
    return undo;
}
