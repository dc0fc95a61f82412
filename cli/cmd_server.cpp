#include "cli/commands.h"
#include "cli/jsonline.h"

#include "project/transfer.h"
#include "store/database.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

// The layout in an empty database, and with --from-store every row of the
// program folder's store, in one transaction.
int runServerInit(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption fromStore(u"from-store"_s, u"Also upload the program folder's tallowpen.db."_s);
    parser.addOption(fromStore);
    if (!parseCommandLine(parser, context, arguments, 0, 0))
        return ExitUsage;
    Database local;
    if (parser.isSet(fromStore) && !openProgramStore(local, context))
        return ExitFailure;
    Result<ServerConnection> connection = ServerConnection::open(context.server);
    if (!connection)
        return context.fail(connection.error().message);
    ServerStore store(std::move(*connection));
    Result<ServerTransfer::Uploaded> uploaded = ServerTransfer::setUp(store, parser.isSet(fromStore) ? &local : nullptr);
    if (!uploaded)
        return context.fail(uploaded.error().message);
    JsonLine line;
    line.add("server", store.connection().where()).add("blocks", uploaded->blocks).add("links", uploaded->links);
    if (uploaded->upgraded)
        line.add("upgraded", true);
    context.out << line.toString() << Qt::endl;
    return ExitSuccess;
}

int runPull(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    if (!parseCommandLine(parser, context, arguments, 0, 0))
        return ExitUsage;
    Result<ServerStore> store = ServerStore::open(context.server);
    if (!store)
        return context.fail(store.error().message);
    Result<QString> file = ServerTransfer::pull(*store, context.programFolder);
    if (!file)
        return context.fail(file.error().message);
    context.out << JsonLine().add("file", *file).add("server", store->connection().where()).toString() << Qt::endl;
    return ExitSuccess;
}
