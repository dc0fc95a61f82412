#pragma once

#include "keeping/batch.h"
#include "keeping/projectstore.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

// The last batch edit run on a server's store, kept so that Undo Last Batch
// works there too: the batch's own record lives in the working copy's
// history, which goes with the copy. It is kept in the program folder
// (LastServerBatchFileName) rather than for the session only, because on the
// program folder's store an undo is offered after a restart too; it names
// the server it ran on, and one of another server is not offered.
//
// Thread contract: the caller's thread; the store handed to the undo is one
// that thread opened.
inline const QString LastServerBatchFileName = QStringLiteral("lastbatch.json");

struct ServerBatchRecord
{
    QString server; // the address the batch wrote to
    QString reason;
    QString backup; // its name in the program folder's backups/
    QDateTime time;
    struct Block
    {
        QString table;
        qint64 id = 0;      // the server's row
        qint64 version = 0; // the one the batch gave it
        BlockRow before;    // what the batch replaced
    };
    std::vector<Block> blocks;
};

// The blocks `written` changed in place, each with the version that write
// gave it, under `batch`'s reason and time; nullopt when rows came or went
// (a table written whole cannot be put back block by block) or none changed.
std::optional<ServerBatchRecord> serverBatchOf(const QString &server, const BatchRecord &batch,
                                               const QString &backup, const StoreChange &written);

// Kept in the program folder, replacing the one before. Empty when done,
// else why not (the batch stands either way).
QString keepServerBatch(const QString &programFolder, const ServerBatchRecord &record);
class WorkingCopy;

// Keeps the batch a command made on `copy`, now written back to `server`, as
// the program folder's last batch there. Empty when done or when the command
// made no batch (the last one then stays), else why not.
QString keepWrittenBatch(const QString &programFolder, const QString &server, const WorkingCopy &copy);

// The program folder's last batch on `server`; nullopt when there is none.
Result<std::optional<ServerBatchRecord>> lastServerBatch(const QString &programFolder, const QString &server);

// Each block put back as it was before the batch, in one versioned write
// (history rows, announcements), when every block still has the version
// the batch gave it; else a conflict naming the first block changed since,
// and nothing is written. The record is forgotten once undone.
Result<qint64> undoServerBatch(ProjectStore &store, const QString &programFolder, const ServerBatchRecord &record);
