#include "cli/commands.h"
#include "cli/jsonline.h"

#include "links/linkstore.h"
#include "store/database.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

int runLinks(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    Database db;
    if (const auto stop = parseAndOpenStore(parser, db, context, arguments, 0, 0))
        return *stop;
    const Result<std::vector<LinkColumns>> links = readLinkRows(db);
    if (!links)
        return context.fail(links.error().message);
    for (const LinkRow &link : linkRowsFrom(*links)) {
        const QStringList suggestions(link.suggestions.cbegin(), link.suggestions.cend());
        context.out << JsonLine().add("word", link.word).add("suggestions", suggestions).add("comment", link.comment)
                           .toString()
                    << u'\n';
    }
    return ExitSuccess;
}
