#pragma once

#include "server/connection.h"
#include "store/nodekey.h"

#include <vector>

// A person at a block: who, which block, since when (ISO 8601, UTC).
struct PresenceEntry
{
    QString user;
    BlockAddress block;
    QString since;
    int pid = 0; // the session's backend, so an editor can tell itself from the others
};

// A block leased by a claim, until when (ISO 8601, UTC).
struct Lease
{
    BlockAddress block;
    QString until;
};

// Who is at which block, held by the editor's own session: an
// advisory lock (the server drops it with the connection, so a crash leaves
// nothing stale) and a row naming the person, renewed by a heartbeat.
// One block per session: entering another leaves the one before.
namespace Presence {

// A heartbeat older than this means an editor that no longer answers.
inline constexpr int StaleSeconds = 90;

Result<Done> enter(ServerConnection &server, const BlockAddress &block);
Result<Done> leave(ServerConnection &server);
Result<Done> heartbeat(ServerConnection &server);
// Everyone at a block now, the earliest first.
Result<std::vector<PresenceEntry>> who(ServerConnection &server);

} // namespace Presence

// Leases of untranslated blocks, so that two translators are never handed
// the same block. A lease lasts LeaseMinutes unless renewed.
namespace Claims {

inline constexpr int LeaseMinutes = 15;

// The next `count` untranslated blocks (of `folder`, or every folder in the
// tree's order) that nobody has leased or is at, leased to the session's
// user. Claims are taken one at a time, so two never get the same block.
Result<std::vector<Lease>> claim(ServerConnection &server, const QString &folder, int count);
Result<Done> renew(ServerConnection &server, const BlockAddress &block);
Result<Done> release(ServerConnection &server, const BlockAddress &block);

} // namespace Claims
