#include "cli/commands.h"
#include "cli/jsonline.h"
#include "cli/teamcommands.h"

#include "server/roles.h"
#include "server/serverstore.h"
#include "server/teamschema.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

// Gives a user one of the team's roles on this database (taking the other
// two away); the server itself then refuses what the role may not do.
int runServerGrant(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"USER ROLE"_s, u"A user of the server, and translator, reviewer or lead."_s);
    if (!parseCommandLine(parser, context, arguments, 2, 2))
        return ExitUsage;
    const QString user = parser.positionalArguments().at(0);
    const QString role = parser.positionalArguments().at(1);
    if (!TeamSchema::Roles.contains(role))
        return context.usage(u"Unknown role %1: use translator, reviewer or lead."_s.arg(role));
    Result<ServerStore> store = ServerStore::open(context.server);
    if (!store)
        return context.fail(store.error().message);
    const Result<Done> granted = TeamRoles::grant(store->connection(), user, role);
    if (!granted)
        return context.fail(granted.error().message);
    context.out << JsonLine().add("user", user).add("role", role).toString() << Qt::endl;
    return ExitSuccess;
}
