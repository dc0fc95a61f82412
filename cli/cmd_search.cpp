#include "cli/commands.h"
#include "cli/jsonline.h"
#include "cli/storeaccess.h"

#include "search/search.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace {

std::optional<SearchType> parseSearchType(const QString &name)
{
    if (name == u"translated")
        return SearchType::Translated;
    if (name == u"original")
        return SearchType::Original;
    if (name == u"both")
        return SearchType::OriginalAndTranslated;
    if (name == u"comments")
        return SearchType::Comments;
    return std::nullopt;
}

} // namespace

int runSearch(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"TEXT"_s, u"What to search for; % and _ are wildcards."_s);
    parser.addOption({u"in"_s, u"translated (default), original, both or comments."_s, u"WHERE"_s, u"translated"_s});
    if (!parseCommandLine(parser, context, arguments, 1, 1))
        return ExitUsage;
    const auto type = parseSearchType(parser.value(u"in"_s));
    if (!type)
        return context.usage(u"--in takes translated, original, both or comments."_s);
    const QString typed = parser.positionalArguments().first();
    if (const SearchInput input = prepareSearchText(typed); !input.accepted())
        return context.fail(input.problem);

    const auto store = openCommandStore(context);
    if (!store)
        return ExitFailure;
    const Result<SearchOutcome> found = store->search(*type, typed);
    if (!found)
        return context.fail(found.error().message);
    const SearchOutcome &outcome = *found;
    for (const SearchHit &hit : outcome.hits) {
        JsonLine line;
        bool number = false;
        const qint64 block = hit.block.toLongLong(&number);
        if (number)
            line.add("block", block);
        else
            line.add("block", hit.block);
        context.out << line.add("script", hit.script).add("folder", hit.folder).add("text", hit.text).toString()
                    << u'\n';
    }
    context.out.flush();
    context.err << outcome.message << Qt::endl;
    return outcome.status == SearchOutcome::Finished ? ExitSuccess : ExitFailure;
}
