#include "cli/blockarguments.h"
#include "cli/jsonline.h"
#include "cli/storeaccess.h"
#include "cli/teamcommands.h"
#include "server/serverstore.h"

using namespace Qt::StringLiterals;

// The same lines as the local history, each adding who wrote the values
// and the version they were.
int runServerHistory(CliContext &context, const QStringList &words)
{
    const auto address = blockFromArguments(context, words);
    if (!address)
        return ExitUsage;
    Result<ServerStore> store = ServerStore::open(context.server);
    if (!store)
        return context.fail(store.error().message);
    const auto block = loadStoredBlock(*store, context, *address);
    if (!block)
        return block.status();
    Result<std::vector<ServerVersion>> versions = VersionCheck::history(store->connection(), *address);
    if (!versions)
        return context.fail(versions.error().message);
    for (const ServerVersion &version : *versions) {
        context.out << historyLine(version.time, version.translation, version.comment, version.revised)
                           .add("user", version.user)
                           .add("version", version.version)
                           .toString()
                    << u'\n';
    }
    return ExitSuccess;
}
