#include "cli/commands.h"
#include "cli/jsonline.h"
#include "cli/teamcommands.h"

#include "server/presence.h"
#include "server/serverstore.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace {

std::optional<ServerStore> openStore(CliContext &context)
{
    Result<ServerStore> store = ServerStore::open(context.server);
    if (!store) {
        context.fail(store.error().message);
        return std::nullopt;
    }
    return std::move(*store);
}

} // namespace

// One line per person at a block now.
int runWho(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    if (!parseCommandLine(parser, context, arguments, 0, 0))
        return ExitUsage;
    auto store = openStore(context);
    if (!store)
        return ExitFailure;
    Result<std::vector<PresenceEntry>> people = Presence::who(store->connection());
    if (!people)
        return context.fail(people.error().message);
    for (const PresenceEntry &person : *people) {
        context.out << JsonLine()
                           .add("user", person.user)
                           .add("table", person.block.table)
                           .add("file_name", person.block.fileName)
                           .add("dialogue_id", int(person.block.number))
                           .add("since", person.since)
                           .toString()
                    << u'\n';
    }
    return ExitSuccess;
}

// Leases the next untranslated blocks nobody holds; one line per block.
int runClaim(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption folder(u"folder"_s, u"Only this folder (a table name)."_s, u"F"_s);
    const QCommandLineOption count(u"count"_s, u"How many blocks (1 unless given)."_s, u"N"_s, u"1"_s);
    parser.addOptions({folder, count});
    if (!parseCommandLine(parser, context, arguments, 0, 0))
        return ExitUsage;
    if (parser.isSet(folder) && !checkTableName(context, parser.value(folder)))
        return ExitUsage;
    bool number = false;
    const int wanted = parser.value(count).toInt(&number);
    if (!number || wanted < 1 || wanted > 10000)
        return context.usage(u"--count takes a number from 1 to 10000."_s);
    auto store = openStore(context);
    if (!store)
        return ExitFailure;
    Result<std::vector<Lease>> leases = Claims::claim(store->connection(), parser.value(folder), wanted);
    if (!leases)
        return context.fail(leases.error().message);
    for (const Lease &lease : *leases) {
        context.out << JsonLine()
                           .add("table", lease.block.table)
                           .add("file_name", lease.block.fileName)
                           .add("dialogue_id", int(lease.block.number))
                           .add("until", lease.until)
                           .toString()
                    << u'\n';
    }
    return ExitSuccess;
}
