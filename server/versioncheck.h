#pragma once

#include "server/connection.h"
#include "keeping/blocksave.h"
#include "store/nodekey.h"

#include <QDateTime>

#include <optional>
#include <vector>

// A save's version check: in, the version the block was loaded with (none:
// the version read just before writing); out, the version the block holds
// after the save, which the next save of the same editor is to name.
struct VersionGuard
{
    std::optional<qint64> expected;
    std::optional<qint64> saved;
};

// An earlier version of a block on the server, as the editors show it.
struct ServerVersion
{
    QDateTime time; // when a save replaced these values
    QString translation;
    QString comment;
    bool revised = false;
    QString user; // who wrote these values
    qint64 version = 0;
};

namespace VersionCheck {

// The code of a stale save's failure, in the server's words for a write
// that lost a race.
inline const QString ConflictState = QStringLiteral("40001");

inline bool isConflict(const Failure &failure)
{
    return failure.sqlState == ConflictState;
}

// "Conflict: ..." naming who changed the block, when, and both versions.
Failure conflict(const BlockAddress &address, const QString &by, const QString &at, qint64 now, qint64 expected);

// Two people's edits of the same loaded block, field by field (translation,
// comment, Revised mark): each field takes the change made to it; nullopt
// when both changed one field to different values, which a person settles.
std::optional<BlockEdits> merge(const BlockEdits &base, const BlockEdits &mine, const BlockEdits &theirs);

// The kept versions of a block, newest first.
Result<std::vector<ServerVersion>> history(ServerConnection &server, const BlockAddress &address);

} // namespace VersionCheck
