#include "cli/commands.h"

#include "store/database.h"
#include "store/translationstatus.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

// stdout carries the status line and nothing else, so a store without blocks
// (which has no percentage) says so on stderr and exits 1.
int runStatus(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    if (!parseCommandLine(parser, context, arguments, 0, 0))
        return ExitUsage;
    Database db;
    if (!openProgramStore(db, context))
        return ExitFailure;
    const TranslationCount count = translationPercent(db);
    if (!count.ok) {
        context.err << count.error.message << Qt::endl;
        return ExitFailure;
    }
    if (!count.hasBlocks()) {
        context.err << u"The store holds no blocks yet, so there is no translation status to show."_s << Qt::endl;
        return ExitFailure;
    }
    context.out << statusLine(count.percent()) << Qt::endl;
    return ExitSuccess;
}
