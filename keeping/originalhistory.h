#pragma once

#include "store/nodekey.h"
#include "store/result.h"
#include "store/scriptrows.h"

#include <QDateTime>
#include <QHash>
#include <QString>

#include <optional>
#include <vector>

class Database;

// What an update of the originals (a new version of the game) replaced and
// took away, kept in history.db beside the store: each replaced original,
// marked "original changed" until the block is saved again, and each block
// the new version no longer has, whole, so that it can be put back.
//
// Texts are as the store holds them (grave accents for apostrophes).
//
// Thread contract: the caller's thread (history.db's one kept connection).

struct OriginalChange
{
    BlockAddress address;
    QString oldOriginal;
    QString newOriginal;
};

// One row of a script table, every column, as history.db keeps it.
struct RemovedBlock : ScriptRowValues
{
    qint64 id = 0; // its row in history.db; 0 before it is kept
    QDateTime time;
};

class ResultSet;

// The current row of a script table (every column, in the layout's order)
// as the block at `address`.
RemovedBlock removedBlockOf(const ResultSet &row, const BlockAddress &address);

// Keeps one update's replaced originals and removed blocks, all under the
// time `run`, in one transaction of history.db.
Result<Done> keepOriginalUpdate(const QString &storePath, const std::vector<OriginalChange> &changes,
                                const std::vector<RemovedBlock> &removed, const QDateTime &run);
// Takes back what keepOriginalUpdate kept for `run`: the store refused the update.
void forgetOriginalUpdate(const QString &storePath, const QDateTime &run);

// The block's open mark: the original it had before, while the store still
// holds the original that replaced it (`current`, stored form).
std::optional<QString> changedOriginal(const QString &storePath, const BlockAddress &address,
                                       const QString &current);
// Every open mark by block key, with the original each replaced and the one
// that replaced it; the failure when history.db cannot be read.
Result<QHash<QString, OriginalChange>> changedOriginals(const QString &storePath);
// A save of the block closes its mark.
void closeOriginalMark(const QString &storePath, const BlockAddress &address);

// The blocks the updates took away and that were not put back, newest first.
Result<std::vector<RemovedBlock>> removedBlocks(const QString &storePath);
// Puts a removed block back into the store as it was. The rows of its
// script are written again after it, in block order, so that they stay
// together as the tree needs them. Fails with why not (a block at its
// address already, an unknown id, a failing write).
Result<Done> restoreRemovedBlock(Database &db, qint64 id);
