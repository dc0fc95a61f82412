#pragma once

#include "store/database.h"
#include "store/nodekey.h"

#include <QString>

// The statements on the script tables' rows beyond one block's load and save
// (store/blockedit.h). Texts enter only through storeLiteral.
//
// Thread contract: the caller's thread, with the caller's Database.

// The rows of a block's script before it (nearest first), the block's own,
// or after it (nearest first), at most `count` of those around.
enum class Around { Before, Same, After };
Result<ResultSet> rowsAround(Database &db, const BlockAddress &block, Around side, int count);
