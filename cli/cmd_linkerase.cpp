#include "cli/commands.h"

#include "links/linkstore.h"
#include "store/database.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

int runLinkErase(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"WORD"_s, u"The word whose links go."_s);
    Database db;
    if (const auto stop = parseAndOpenStore(parser, db, context, arguments, 1, 1))
        return *stop;
    QString error;
    if (!eraseLink(db, parser.positionalArguments().first(), &error))
        return context.fail(error);
    return ExitSuccess;
}
