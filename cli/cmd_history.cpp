#include "cli/blockarguments.h"
#include "cli/commands.h"
#include "cli/jsonline.h"
#include "cli/teamcommands.h"

#include "keeping/history.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

// The kept versions of a block, newest first; nothing when it has none.
int runHistory(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"TABLE FILE_NAME N"_s, u"The block."_s);
    if (!parseCommandLine(parser, context, arguments, 3, 3))
        return ExitUsage;
    if (!context.server.isEmpty())
        return runServerHistory(context, parser.positionalArguments());
    Database db;
    const auto load = loadBlockFromArguments(db, context, parser.positionalArguments());
    if (!load)
        return load.status();
    QString error;
    const auto versions = blockVersions(db.path(), *load->address, &error);
    if (!versions) {
        context.err << error << Qt::endl;
        return ExitFailure;
    }
    for (const BlockVersion &version : *versions) {
        const QDateTime &time = version.time;
        context.out << JsonLine()
                           .add("time", time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODateWithMs))
                           .add("translation", version.translation)
                           .add("comment", version.comment)
                           .add("revised", version.revised ? 1 : 0)
                           .toString()
                    << u'\n';
    }
    return ExitSuccess;
}
