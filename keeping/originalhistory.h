#pragma once

#include "store/nodekey.h"
#include "store/result.h"

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

// One row of a script table, every column.
struct RemovedBlock
{
    qint64 id = 0; // its row in history.db; 0 before it is kept
    QDateTime time;
    BlockAddress address;
    QString textData;
    qint64 width = 0;
    qint64 height = 0;
    QString comments;
    bool translated = false;
    bool revised = false;
    QString textDataT;
    qint64 newWidth = 0;
    qint64 newHeight = 0;
};

class ResultSet;

// The current row of a script table (every column, in the layout's order)
// as the block at `address`.
RemovedBlock removedBlockOf(const ResultSet &row, const BlockAddress &address);

// The statement that writes the whole row back into its table.
QString rowInsertStatement(const RemovedBlock &row);

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
