#pragma once

#include "keeping/blocksave.h"
#include "store/nodekey.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

class Database;

// The last batch edit of the store (a fit of many blocks, a translation
// applied to its repeats, and whatever later changes many blocks at once):
// why it ran, the backup made before it, and the blocks it changed. It is
// kept in history.db beside the block versions, so that Undo Last Batch can
// put exactly those blocks back from their history rows, after a restart
// too; a newer batch replaces it.
//
// A batch operation calls beginBatch before its first save (no backup, no
// batch), adds the address of each block its saves wrote, and records the
// batch with one call to recordBatch when it is done.
//
// Thread contract: the caller's thread, with the caller's Database.
struct BatchRecord
{
    QString reason;  // also the backup's reason: "batch-fit", "repeats", ...
    QString backup;  // the copy's file name inside backups/
    QDateTime time;  // when the batch began
    qint64 historyMark = 0; // the newest history row before the batch's saves
    std::vector<BlockAddress> blocks;

    void changed(const BlockAddress &address) { blocks.push_back(address); }
};

namespace BatchReason {
inline const QString Fit = QStringLiteral("batch-fit");
inline const QString Repeats = QStringLiteral("repeats");
} // namespace BatchReason

// The backup (reason `reason`) and the place in the history the batch starts
// from, or the sentence that says why the batch must not go on.
Result<BatchRecord> beginBatch(Database &db, const QString &reason);

// Keeps `batch` as the store's last batch. Empty when done, else why not
// (the batch's saves stand either way; its backup is still there).
QString recordBatch(const QString &storePath, const BatchRecord &batch);

// The store's last batch; nullopt when there is none, the failure when it
// cannot be read.
Result<std::optional<BatchRecord>> lastBatch(const QString &storePath);

// "Fit Overflowing Blocks", "Apply to Repeats": the command a reason stands for.
QString batchCaption(const QString &reason);

struct [[nodiscard]] BatchUndo
{
    std::vector<std::pair<QString, BlockSave>> saved; // node key and its save
    QStringList problems; // one sentence each; empty when every block went back
};

// Puts each block of `batch` back as its first history row after the batch's
// mark holds it (the values the batch replaced), through the block save, so
// that the undo itself is kept in the history too. All in one transaction:
// when one block cannot go back, none does. The batch is forgotten once undone.
BatchUndo undoBatch(Database &db, const BatchRecord &batch);
