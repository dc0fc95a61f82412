#pragma once

#include "scripts/importprogress.h"
#include "store/database.h"

#include <QDateTime>
#include <QString>

#include <vector>

// A new version of the game's scripts brought into a store that already
// holds translations, without losing any: blocks are matched by folder, file
// name and block number. An unchanged original keeps everything; a changed
// one keeps its translation, comment and chosen window size, loses its
// Revised mark and is marked "original changed" (the old original kept in
// history.db); new blocks come in untranslated; blocks the game no longer
// has leave the store for history.db, whence they can be restored.
//
// Thread contract: the thread that owns `db`.
namespace OriginalUpdate {

enum class Change { Changed, Added, Removed };
QString changeName(Change change); // "changed", "added", "removed"

struct BlockChange
{
    QString table;
    QString fileName;
    qint16 number = 0;
    Change change = Change::Changed;
};

struct Outcome
{
    std::vector<BlockChange> changes; // table by table, files in listing order, blocks by number
    qint64 unchanged = 0;
    qint64 changed = 0;
    qint64 added = 0;
    qint64 removed = 0;
    QString backup; // the copy made first (none on a dry run or when nothing changed)
};

// "N unchanged, N changed, N added, N removed"
QString summary(const Outcome &outcome);

// Compares the folder's scripts (battling_arena/, battle_script/, field/
// under `basePath`) with the store and, unless `dryRun`, brings the store in
// line: a backup first, then every change in one transaction. A failure
// says why it stopped; the store is then as it was.
::Result<Outcome> updateOriginals(Database &db, const QString &basePath, ProgressPacer &pacer, bool dryRun,
                                  const QDateTime &now = QDateTime::currentDateTime());

} // namespace OriginalUpdate
