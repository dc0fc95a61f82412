#include "cli/commands.h"

#include "links/linksfile.h"
#include "store/database.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

int runLinksImport(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"FILE"_s, u"The links file: word, comma, link on each line."_s);
    Database db;
    if (const auto stop = parseAndOpenStore(parser, db, context, arguments, 1, 1))
        return *stop;
    const LinksImportResult result = importLinksFile(db, parser.positionalArguments().first());
    if (!result.ok())
        return context.fail(result.failureText());
    context.out << LinksImportedText << Qt::endl;
    return ExitSuccess;
}
