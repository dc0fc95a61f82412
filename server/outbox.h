#pragma once

#include "server/versioncheck.h"
#include "keeping/blocksave.h"
#include "store/database.h"
#include "store/result.h"

#include <QString>

#include <optional>
#include <vector>

class ServerStore;

inline const QString OutboxFileName = QStringLiteral("outbox.db");

// A save made while the server could not be reached, with the version the
// block was loaded with.
struct OutboxEdit
{
    qint64 id = 0;
    QString key;
    QString nodeText;
    QString translation; // as the editors show it
    QString comment;
    bool revised = false;
    std::optional<qint64> baseVersion;
    QString queuedAt; // ISO 8601, UTC
};

// The saves waiting for the server, in an SQLite file in the program folder,
// so that an editor that loses the server (or is closed meanwhile) keeps
// what was typed. Each is replayed through the same version check as a save
// made online: a block changed on the server meanwhile is a conflict for a
// person to settle, never overwritten.
//
// Thread contract: one thread.
class Outbox
{
public:
    // The file is made on the first edit kept.
    explicit Outbox(QString path);

    // A later edit of the same block replaces the earlier one and keeps its
    // base version: both were typed over the same loaded block.
    Result<Done> add(const OutboxEdit &edit);
    Result<std::vector<OutboxEdit>> pending();
    Result<Done> remove(qint64 id);

    struct Replay
    {
        std::vector<OutboxEdit> saved; // each with the version its save made
        std::vector<OutboxEdit> conflicts; // kept until settled
        std::optional<Failure> stopped;    // the server went away again, or the file failed
    };
    // Saves each edit naming its base version, oldest first; a saved one
    // leaves the outbox, a stale one stays and is handed back.
    Replay replay(ServerStore &store);

private:
    Result<Done> ready();

    QString m_path;
    Database m_db;
};
