#include "search/search.h"

#include "store/layout.h"

using namespace Qt::StringLiterals;

QStringList searchTypeCaptions()
{
    return {u"Translated"_s, u"Original"_s, u"Original and Translated"_s, u"Comments"_s};
}

SearchInput prepareSearchText(const QString &typed)
{
    if (typed.isEmpty())
        return {{}, SearchMessages::emptyInput};
    // The length is taken before trimming: two blanks pass and list everything.
    if (typed.size() == 1)
        return {{}, SearchMessages::tooShort};
    // The matcher compares the pattern at each place of a block: a long
    // pattern on a huge block would hold the window for minutes.
    if (typed.size() > SearchMessages::longestPattern)
        return {{}, SearchMessages::tooLong()};
    // An apostrophe stays: storeLiteral turns it into the stored grave accent.
    return {typed.trimmed(), {}};
}

QList<SearchStep> searchSteps(SearchType type)
{
    QList<SearchStep> translated;
    for (const QString &table : ScriptTables::all)
        translated.append({table, ColTextDataT});
    const auto column = [](int position) {
        return QList<SearchStep>{{ScriptTables::battlingArena, position},
                                 {ScriptTables::battleScript, position},
                                 {ScriptTables::field, position}};
    };
    switch (type) {
    case SearchType::Translated:
        return translated;
    case SearchType::Original:
        return column(ColTextData);
    case SearchType::OriginalAndTranslated:
        return translated + column(ColTextData);
    case SearchType::Comments:
        return column(ColComments);
    }
    return {};
}

QString hitKey(const SearchHit &hit)
{
    return hit.folder + u':' + hit.script + u';' + hit.block;
}
