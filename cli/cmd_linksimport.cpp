#include "cli/commands.h"

#include "links/linksfile.h"
#include "store/database.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

int runLinksImport(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"FILE"_s, u"The links file: word, comma, link on each line."_s);
    if (!parseCommandLine(parser, context, arguments, 1, 1))
        return ExitUsage;
    Database db;
    if (!openProgramStore(db, context))
        return ExitFailure;
    const LinksImportResult result = importLinksFile(db, parser.positionalArguments().first());
    if (!result.ok()) {
        context.err << result.failureText() << Qt::endl;
        return ExitFailure;
    }
    context.out << LinksImportedText << Qt::endl;
    return ExitSuccess;
}
