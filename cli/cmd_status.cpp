#include "cli/commands.h"
#include "cli/serveraccess.h"

#include "store/database.h"
#include "store/translationstatus.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

// stdout carries the status line and nothing else, so a store without blocks
// (which has no percentage) says so on stderr and exits 1.
int runStatus(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    Result<TranslationCount> count = TranslationCount();
    if (context.server.isEmpty()) {
        Database db;
        if (const auto stop = parseAndOpenStore(parser, db, context, arguments, 0, 0))
            return *stop;
        count = translationPercent(db);
    } else {
        if (!parseCommandLine(parser, context, arguments, 0, 0))
            return ExitUsage;
        auto store = openServerStore(context);
        if (!store)
            return ExitFailure;
        count = store->countBlocks();
    }
    if (!count)
        return context.fail(count.error().message);
    if (!count->hasBlocks())
        return context.fail(u"The store holds no blocks yet, so there is no translation status to show."_s);
    context.out << statusLine(count->percent()) << Qt::endl;
    return ExitSuccess;
}
