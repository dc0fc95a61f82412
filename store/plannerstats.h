#pragma once

#include "store/result.h"

#include <QString>

struct sqlite3;

// Figures of the store's shape for SQLite's query planner, kept in its own
// sqlite_stat1 table; the script tables and the statements stay as they are.
//
// Without figures the planner takes an equality on any index's first column
// to keep about ten rows, and rates "translated = 1" (a small integer) as a
// weak filter beside a file name: for "... WHERE file_name = 'F' AND
// translated = 1;" it then searches the translated index and tests the file
// name of every translated row, most of the table for each exported script.
// With the figures it knows that a script holds some fifty blocks and that
// `translated` splits a table in two, and takes the block index.

// Writes the figures through an open connection on a store (inside the
// caller's transaction, if any). SQLite's result code.
int writePlannerStatistics(sqlite3 *db);

// Adds the figures to a store made before they were written at creation.
// Leaves alone a file that lacks the block indexes (not a store this program
// made) and one that already has figures for them. The failure when they
// were missing and could not be added; the store works without them, only
// slower.
Result<Done> ensurePlannerStatistics(const QString &storePath);
