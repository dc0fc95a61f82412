#include "cli/commands.h"
#include "cli/storeaccess.h"

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
    const auto store = openCommandStore(context);
    if (!store)
        return ExitFailure;
    const Result<TranslationCount> count = store->countBlocks();
    if (!count)
        return context.fail(count.error().message);
    if (!count->hasBlocks())
        return context.fail(u"The store holds no blocks yet, so there is no translation status to show."_s);
    context.out << statusLine(count->percent()) << Qt::endl;
    return ExitSuccess;
}
