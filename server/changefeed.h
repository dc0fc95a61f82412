#pragma once

#include "server/connection.h"

#include <QMetaType>

#include <optional>
#include <vector>

// One committed change of a block, as the change sequence holds it.
struct BlockChange
{
    qint64 seq = 0;
    QString table;
    QString fileName;
    int dialogueId = 0;
    qint64 version = 0;
    QString user;
    QString time; // ISO 8601, UTC
};
Q_DECLARE_METATYPE(BlockChange)

// The changes saved anywhere, as they are committed, on a connection of its
// own that does nothing but listen (a listener busy in a transaction would
// hold the announcements back). After a lost connection it connects again
// and catches up by the change sequence, so nothing is missed or given twice.
//
// Thread contract: as ServerConnection. Waiting needs the thread's event
// loop to be free (wait() runs one of its own); a window instead puts a
// QSocketNotifier on socket() and calls take() when it fires.
class ChangeFeed
{
public:
    // Listens from now on: changes committed before open() are not given.
    static Result<ChangeFeed> open(const QString &address);

    // The changes that arrived within `milliseconds`, in sequence order;
    // empty when none did. A lost connection is made again (and caught up)
    // within the same wait; a failure when the server cannot be reached.
    Result<std::vector<BlockChange>> wait(int milliseconds);
    // What has arrived, without waiting.
    Result<std::vector<BlockChange>> take();
    // The changes after `seq`, read from the change sequence.
    Result<std::vector<BlockChange>> since(qint64 seq);

    int socket() const;
    int backendPid() const;
    qint64 lastSeq() const { return m_last; }

private:
    ChangeFeed(QString address, ServerConnection connection, qint64 last);
    Result<Done> reconnect();
    std::vector<BlockChange> unseen(std::vector<BlockChange> changes);

    QString m_address;
    std::optional<ServerConnection> m_server;
    qint64 m_last = 0;
};
