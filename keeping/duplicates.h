#pragma once

#include "store/result.h"

#include <QString>

#include <optional>
#include <vector>

class Database;

// Blocks the store holds in more than one row: a script that names a block
// twice, or a re-import of originals that leaves each script's old block 0
// beside the new one (it deletes only the blocks numbered above 0). Such a
// block opens as "Duplicate records, FATAL ERROR" and is exported twice.
//
// Thread contract: the caller's thread, with the caller's Database.
struct DuplicateBlock
{
    QString table;
    QString fileName;
    qint16 number = 0;
    std::vector<qint64> rows; // the rows' ids, the oldest (first stored) first

    QString name() const; // "[field] - [a.txt] - [0]", as the status line names a block
};

// Every duplicated block of the three script tables; nullopt (and `error`)
// when the store cannot be read.
Result<std::vector<DuplicateBlock>> duplicateBlocks(Database &db);

// Removes every row of each block but its newest, in one transaction, after
// a copy of the store into backups/. Empty when done, else why nothing was
// removed.
QString removeOlderDuplicates(Database &db, const std::vector<DuplicateBlock> &duplicates);
