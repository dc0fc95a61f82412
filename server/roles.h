#pragma once

#include "server/connection.h"

// What the session's user may write, as the server's privileges say, so a
// window can grey out what the server would refuse and say why.
struct TeamRights
{
    bool translate = false; // translations, comments, window sizes
    bool revise = false;    // the Revised mark
    bool lead = false;      // imports, originals, links and the links file
};

namespace TeamRoles {

Result<TeamRights> rights(ServerConnection &server);
// Gives `user` the team role `role` on this database (translator, reviewer
// or lead), taking the other two away, in one transaction.
Result<Done> grant(ServerConnection &server, const QString &user, const QString &role);

} // namespace TeamRoles
