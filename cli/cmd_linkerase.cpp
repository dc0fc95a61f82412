#include "cli/commands.h"

#include "links/linkstore.h"
#include "store/database.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

int runLinkErase(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"WORD"_s, u"The word whose links go."_s);
    if (!parseCommandLine(parser, context, arguments, 1, 1))
        return ExitUsage;
    Database db;
    if (!openProgramStore(db, context))
        return ExitFailure;
    QString error;
    if (!eraseLink(db, parser.positionalArguments().first(), &error)) {
        context.err << error << Qt::endl;
        return ExitFailure;
    }
    return ExitSuccess;
}
