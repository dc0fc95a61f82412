#include "server/roles.h"

Result<TeamRights> TeamRoles::rights(ServerConnection &server)
{
    // Read from the privileges the server enforces, never from the role's
    // name: an owner or a hand-made grant counts as it does on a write.
    Result<ServerRows> rows = server.run(
        "SELECT has_column_privilege('field', 'text_data_t', 'UPDATE')::int, "
        "has_column_privilege('field', 'revised', 'UPDATE')::int, "
        "(has_table_privilege('field', 'INSERT') AND has_table_privilege('suggestion', 'INSERT'))::int");
    if (!rows)
        return rows.error();
    return TeamRights{rows->number(0, 0) == 1, rows->number(0, 1) == 1, rows->number(0, 2) == 1};
}

Result<Done> TeamRoles::grant(ServerConnection &server, const QString &user, const QString &role)
{
    return server.transaction<Done>([&]() -> Result<Done> {
        Result<ServerRows> done = server.run("SELECT tallowpen_grant($1, $2)", {parameter(user), parameter(role)});
        if (!done)
            return done.error();
        return Done{};
    });
}
