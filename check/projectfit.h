#pragma once

#include "check/fit.h"
#include "check/projectcheck.h"

#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

#include "keeping/blocksave.h"

class Database;
struct BatchRecord;

// Fitting many blocks at once, for `fit --all` and the checks window.
//
// Thread contract: the caller's thread, with the caller's Database.

struct BlockFit
{
    const CheckedBlock *block = nullptr;
    FitResult fit;
};

struct ProjectFit
{
    std::vector<BlockFit> changed; // in project order
    int overflowing = 0;           // blocks in scope that overflow before fitting
    int stillOverflowing = 0;      // of those, the ones fitting cannot cure
};

// Every block in scope with a translation, fitted to its own window; nothing saved.
ProjectFit fitProject(const std::vector<CheckedBlock> &blocks,
                      const std::function<bool(const CheckedBlock &)> &inScope = {});

struct FitSaving
{
    std::vector<std::pair<QString, BlockSave>> saved; // node key and what its save gave
    QStringList problems;                            // one sentence per block that could not be saved
};

// Saves a block's new translation as the window's save does, its comment
// and mark kept; a failure's message names the block.
// `knownRow` Current: `load` was read in the save's own transaction.
Result<BlockSave> saveTranslation(Database &db, const BlockLoad &load, const QString &translation,
                                  StatusCount status = StatusCount::Count, KnownRow knownRow = KnownRow::LastSeen);

// Saves each fitted translation as the window's save does after a click
// away: the block loaded again, its comment and mark kept. One transaction
// per script, its history rows included: a script whose saves cannot all
// be written keeps none of them. The status line is counted once, after the
// last save. `progress(done)` is asked before each block, done counting
// those already tried; false stops there (the scripts done so far stay).
// Each block written is added to `batch` when one is given.
FitSaving saveFits(Database &db, const std::vector<BlockFit> &fits, const std::function<bool(int)> &progress = {},
                   BatchRecord *batch = nullptr);
