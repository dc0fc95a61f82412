#include "search/search.h"

#include "search/logging.h"
#include "store/layout.h"
#include "store/storetext.h"

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

namespace {

QList<SearchStatement> translatedStatements(const QString &t)
{
    const QString like = storeLiteral(u'%' + t + u'%');
    QList<SearchStatement> out;
    for (const QString &table : ScriptTables::all)
        out.append({u"SELECT * FROM "_s + table + u" WHERE text_data_t LIKE "_s + like + u" AND translated = 1;"_s, table,
                    ColTextDataT});
    return out;
}

// The battling_arena statement of these two kinds has always ended without a
// semicolon; the engine takes it either way.
QList<SearchStatement> columnStatements(const QString &column, int position, const QString &t)
{
    const QString like = storeLiteral(u'%' + t + u'%');
    return {
        {u"SELECT * FROM battling_arena WHERE "_s + column + u" LIKE "_s + like, ScriptTables::battlingArena,
         position},
        {u"SELECT * FROM battle_script WHERE "_s + column + u" LIKE "_s + like + u';', ScriptTables::battleScript,
         position},
        {u"SELECT * FROM field WHERE "_s + column + u" LIKE "_s + like + u';', ScriptTables::field, position},
    };
}

} // namespace

QList<SearchStatement> searchStatements(SearchType type, const QString &pattern)
{
    switch (type) {
    case SearchType::Translated:
        return translatedStatements(pattern);
    case SearchType::Original:
        return columnStatements(u"text_data"_s, ColTextData, pattern);
    case SearchType::OriginalAndTranslated:
        return translatedStatements(pattern) + columnStatements(u"text_data"_s, ColTextData, pattern);
    case SearchType::Comments:
        return columnStatements(u"comments"_s, ColComments, pattern);
    }
    return {};
}

SearchOutcome searchBlocks(Database &db, SearchType type, const QString &typed)
{
    SearchOutcome outcome;
    const SearchInput input = prepareSearchText(typed);
    if (!input.accepted()) {
        outcome.status = SearchOutcome::Refused;
        outcome.message = input.problem;
        return outcome;
    }
    for (const SearchStatement &statement : searchStatements(type, input.pattern)) {
        Result<ResultSet> rows = db.query(statement.sql);
        if (!rows.ok()) {
            qCWarning(lcSearch) << "search statement failed:" << rows.error().message;
            outcome.status = SearchOutcome::Failed;
            outcome.message = rows.error().message;
            return outcome;
        }
        while (rows->next()) {
            outcome.hits.append({rows->text(ColDialogueId).trimmed(), rows->text(ColFileName), statement.table,
                                 rows->text(statement.textColumn)});
        }
        rows->close();
    }
    outcome.message = SearchMessages::finished;
    return outcome;
}

QString hitKey(const SearchHit &hit)
{
    return hit.folder + u':' + hit.script + u';' + hit.block;
}
