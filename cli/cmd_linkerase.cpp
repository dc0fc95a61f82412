#include "cli/commands.h"

#include "links/linkstore.h"
#include "cli/storeaccess.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

int runLinkErase(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"WORD"_s, u"The word whose links go."_s);
    if (!parseCommandLine(parser, context, arguments, 1, 1))
        return ExitUsage;
    const auto store = openCommandStore(context);
    if (!store)
        return ExitFailure;
    if (Result<Done> erased = store->eraseLink(parser.positionalArguments().first()); !erased)
        return context.fail(erased.error().message);
    return ExitSuccess;
}
