#include "cli/commands.h"

#include "links/linkstore.h"
#include "cli/storeaccess.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

int runLinkSet(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"WORD"_s, u"The word the link belongs to."_s);
    parser.addOption({u"suggest"_s, u"A suggestion, up to five, in order."_s, u"TEXT"_s});
    parser.addOption({u"comment"_s, u"The link's comment."_s, u"TEXT"_s});
    parser.addOption({u"modify"_s, u"Rewrite the word's row instead of adding one."_s});
    if (!parseCommandLine(parser, context, arguments, 1, 1))
        return ExitUsage;
    const QStringList suggestions = parser.values(u"suggest"_s);
    if (suggestions.size() > 5)
        return context.usage(u"At most five --suggest."_s);
    LinkFields fields;
    for (qsizetype i = 0; i < suggestions.size(); ++i)
        fields[size_t(i)] = suggestions.at(i);
    fields[5] = parser.value(u"comment"_s);
    if (fields[0].isEmpty())
        return context.fail(FirstWordMissingText);
    const auto store = openCommandStore(context);
    if (!store)
        return ExitFailure;
    if (Result<Done> saved = store->saveLink(parser.positionalArguments().first(), fields, parser.isSet(u"modify"_s));
        !saved)
        return context.fail(saved.error().message);
    return ExitSuccess;
}
