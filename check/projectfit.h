#pragma once

#include "check/fit.h"
#include "check/projectcheck.h"

#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

#include "store/blockedit.h"

class Database;

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
BlockSave saveTranslation(Database &db, const BlockLoad &load, const QString &translation);

// Saves each fitted translation as the window's save does after a click
// away: the block loaded again, its comment and mark kept.
// `progress(done)` is asked before each block, done counting those already
// tried; false stops there.
FitSaving saveFits(Database &db, const std::vector<BlockFit> &fits, const std::function<bool(int)> &progress = {});
