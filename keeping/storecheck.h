#pragma once

#include "store/result.h"

#include <QString>

// The quick look at a store file the editor takes at start-up, before it
// opens the store for work: SQLite's quick_check (every page and record
// well formed, without matching index entries to rows, which costs as much
// again) and the presence of the four tables.
//
// Thread contract: the caller's thread; opens and closes its own connection.
// A failure says what is wrong, in SQLite's words where it has them.
Result<Done> checkStoreFile(const QString &path);

// What the editor says about a damaged store: what is wrong, the newest
// backup in the program folder and the two ways to put it back, or that
// there is none.
QString damagedStoreMessage(const QString &programFolder, const QString &problem);
