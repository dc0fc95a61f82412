#pragma once

#include "store/nodekey.h"
#include "store/result.h"

#include <QString>

#include <vector>

class Database;
class ProjectStore;

// One block of the conversation around the open one.
struct ContextBlock
{
    BlockAddress address;
    QString speaker;     // the speaker tag the block starts with, or empty
    QString original;    // as the editors show it
    QString translation; // as the editors show it; empty while not translated
    bool current = false;
};

struct BlockContext
{
    std::vector<ContextBlock> blocks; // in block order, the asked block among them
};

// Up to `each` blocks before and after `block` in its script, by number
// (gaps in the numbering are stepped over), and the block itself.
Result<BlockContext> blockContext(Database &db, const BlockAddress &block, int each = 3);
// The same, read through the open store, whichever holds the project.
Result<BlockContext> blockContext(ProjectStore &store, const BlockAddress &block, int each = 3);
