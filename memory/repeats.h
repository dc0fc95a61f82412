#pragma once

#include "keeping/blocksave.h"
#include "store/nodekey.h"
#include "store/result.h"

#include <QString>

#include <utility>
#include <vector>

class Database;

// Another block with exactly the same original as the open one.
struct Repeat
{
    BlockAddress address;
    QString translation; // as the editors show it; empty while not translated
    bool changes = false; // applying the open block's translation would change it
};

struct Repeats
{
    std::vector<Repeat> blocks; // in table order, rows as the store returns them
    int changing() const;
};

// Every block but `block` whose original is `storedOriginal` character for
// character (tags included), and which of them `translation` (as shown)
// would change.
Result<Repeats> exactRepeats(Database &db, const BlockAddress &block, const QString &storedOriginal,
                     const QString &translation);

struct RepeatsApplied
{
    // Each changed block's key and its save, for the tree nodes and the memory.
    std::vector<std::pair<QString, BlockSave>> saved;
};

// Writes `translation` into every repeat it changes, each through the block
// save a click on another node runs (its comment and "Revised" mark as they
// were), all in one transaction: when one fails, none is changed and the
// failure says so.
Result<RepeatsApplied> applyToRepeats(Database &db, const Repeats &repeats, const QString &translation);
