#pragma once

#include "server/serverstore.h"

#include <QDateTime>

class Database;

// The server's store set up and copied: the layout with, optionally, every
// block and link of a local store uploaded; and the server's store written
// back into a local SQLite copy.
namespace ServerTransfer {

struct Uploaded
{
    qint64 blocks = 0;
    qint64 links = 0;
    bool upgraded = false;
};

// The layout in an empty database and, when `from` is given, its rows, with
// COPY, all in one transaction: a failure leaves the database as it was.
// A store of the earlier layout is brought up to date instead (upgraded),
// its rows kept; uploading into it is refused.
Result<Uploaded> setUp(ServerStore &server, Database *from);

// A consistent copy of the server's store (one read-only snapshot) written
// in the SQLite layout into a new file at `path`.
Result<Done> writeCopy(ServerStore &server, const QString &path);
// Removes such a copy with its journal files.
void removeCopy(const QString &path);

// The server's rows as one read-only snapshot saw them, with their ids and
// versions: what a command's changes are measured and checked against.
struct StoredSnapshot
{
    std::array<std::vector<StoredRow>, 3> blocks; // ScriptTables order
    std::vector<LinkColumns> links;
};
Result<StoredSnapshot> readStoredSnapshot(ServerStore &server);
// Such a snapshot, also written in the SQLite layout into a new file at
// `path` for a command to work on.
Result<StoredSnapshot> writeWorkingCopy(ServerStore &server, const QString &path);
// What the local store at `path` now holds that differs from `snapshot`.
Result<StoreChange> changesSince(const StoredSnapshot &snapshot, const QString &path);

// A consistent copy of the server's store (one read-only snapshot) written
// in the SQLite layout into the program folder's backups under the reason
// "pull", so that restore makes a local store of it. Gives the copy's name.
Result<QString> pull(ServerStore &server, const QString &programFolder,
                     const QDateTime &now = QDateTime::currentDateTime());

} // namespace ServerTransfer
