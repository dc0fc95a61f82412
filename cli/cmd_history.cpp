#include "cli/blockarguments.h"
#include "cli/commands.h"
#include "cli/jsonline.h"
#include "cli/teamcommands.h"

#include "keeping/history.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

JsonLine historyLine(const QDateTime &time, const QString &translation, const QString &comment, bool revised)
{
    JsonLine line;
    line.add("time", time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODateWithMs))
        .add("translation", translation)
        .add("comment", comment)
        .add("revised", revised ? 1 : 0);
    return line;
}

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
    const auto versions = blockVersions(db.path(), *load->address);
    if (!versions) {
        context.err << versions.error().message << Qt::endl;
        return ExitFailure;
    }
    for (const BlockVersion &version : *versions) {
        context.out << historyLine(version.time, version.translation, version.comment, version.revised).toString()
                    << u'\n';
    }
    return ExitSuccess;
}
