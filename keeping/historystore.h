#pragma once

#include "keeping/batch.h"
#include "keeping/history.h"
#include "keeping/originalhistory.h"

// history.db is a store of its own, beside tallowpen.db: historystore.cpp
// opens and makes it, sets a damaged one aside and holds every statement it
// runs; the functions of history.h and originalhistory.h that touch only
// history.db are defined there too. The ones below serve the operations that
// work on both files (the last batch, the restore of a removed block).
//
// Thread contract: history.db's one kept connection, on the caller's thread.

// The id of the newest history row; 0 when there is none.
Result<qint64> newestHistoryRow(Database &history);
// `batch` as the last batch, in place of the one kept before, in one transaction.
Result<Done> keepLastBatch(Database &history, const BatchRecord &batch);
// The kept last batch; nullopt when there is none.
Result<std::optional<BatchRecord>> readLastBatch(Database &history);
// What the first history row after `mark` kept of the block (texts in stored
// form); nullopt when there is none.
Result<std::optional<BlockVersion>> versionAfter(Database &history, const BlockAddress &address, qint64 mark);
// Best effort: a batch that stays behind is only offered once more.
void forgetLastBatch(Database &history);

// The removed block `id`, while it waits to be restored; nullopt when no
// such block waits.
Result<std::optional<RemovedBlock>> waitingRemovedBlock(Database &history, qint64 id);
// Best effort: a block back in the store whose mark fails is only offered again.
void markRestored(Database &history, qint64 id);
