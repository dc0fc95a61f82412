#include "cli/commands.h"
#include "cli/jsonline.h"

#include "links/linkstore.h"
#include "store/database.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

int runLinks(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    if (!parseCommandLine(parser, context, arguments, 0, 0))
        return ExitUsage;
    Database db;
    if (!openProgramStore(db, context))
        return ExitFailure;
    QString error;
    const QList<LinkRow> links = readAllLinks(db, &error);
    if (!error.isEmpty()) {
        context.err << error << Qt::endl;
        return ExitFailure;
    }
    for (const LinkRow &link : links) {
        const QStringList suggestions(link.suggestions.cbegin(), link.suggestions.cend());
        context.out << JsonLine().add("word", link.word).add("suggestions", suggestions).add("comment", link.comment)
                           .toString()
                    << u'\n';
    }
    return ExitSuccess;
}
