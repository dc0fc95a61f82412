#pragma once

#include <QStringList>

// What working together adds to the server's layout: the change sequence
// announced to listeners, who is at which block, the leases of claimed
// blocks, and the three team roles. Made with the rest of the layout.
namespace TeamSchema {

// Advisory lock classes (the first of the two keys), so that presence and
// the change sequence never meet another program's locks by chance.
inline constexpr int PresenceLock = 7340;
inline constexpr int ChangeOrderLock = 7341;
inline constexpr int ClaimLock = 7342;
// Held while a store of an earlier layout is brought up to date.
inline constexpr int UpgradeLock = 7343;

// The channel every committed change is announced on.
inline constexpr const char *Channel = "block_change";
inline const QStringList Roles = {QStringLiteral("translator"), QStringLiteral("reviewer"), QStringLiteral("lead")};

QStringList tableNames();
// Fixed statements, run after the tables they refer to are made.
QString statements();
// The roles' rights, made again for the tables a later layout adds: the
// grant function and what the existing roles are given.
QString grantStatements();

} // namespace TeamSchema
