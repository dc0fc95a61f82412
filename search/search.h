#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What the search window's "Search in:" box offers, by item index.
enum class SearchType { Translated = 0, Original = 1, OriginalAndTranslated = 2, Comments = 3 };

// One line of the result list: a block and the full text of the column that
// was searched.
struct SearchHit
{
    QString block;  // dialogue_id
    QString script; // file_name
    QString folder; // table name
    QString text;

    bool operator==(const SearchHit &) const = default;
};
// A list of hits can grow to every block twice over; moving one is a memcpy.
Q_DECLARE_TYPEINFO(SearchHit, Q_RELOCATABLE_TYPE);

namespace SearchMessages {
inline const QString emptyInput = QStringLiteral("Please input a word to search");
inline const QString tooShort = QStringLiteral("Word is too short, please input one word biggest");
inline const QString finished = QStringLiteral("End of the search");
inline constexpr qsizetype longestPattern = 100;
inline QString tooLong()
{
    return QStringLiteral("The search text is longer than %1 characters; please search for a shorter part of it.")
        .arg(longestPattern);
}
} // namespace SearchMessages

// The captions of the "Search in:" items, in index order.
QStringList searchTypeCaptions();

// The typed text made ready for the statements: apostrophes become grave
// accents (the store keeps no apostrophe, and none can end the quoted
// pattern), the length rules run on that text, and the pattern is the text
// trimmed. `problem` holds the message when a rule refuses it.
struct SearchInput
{
    QString pattern;
    QString problem;
    bool accepted() const { return problem.isEmpty(); }
};
SearchInput prepareSearchText(const QString &typed);

// One pass of a search: the script table and the column position it looks
// in, which is also the hit's text. A pass over the translation counts only
// translated blocks.
struct SearchStep
{
    QString table;
    int textColumn = 0;
};
// The passes of one search type, in the order they run.
QList<SearchStep> searchSteps(SearchType type);

struct SearchOutcome
{
    enum Status { Finished, Refused, Failed };
    Status status = Finished;
    QString message; // the rule's message, the store's error, or "End of the search"
    QList<SearchHit> hits;
};

// The block node key of a hit: Folder ":" Script ";" Block.
QString hitKey(const SearchHit &hit);
