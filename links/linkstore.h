#pragma once

#include "store/linkrows.h"
#include "store/result.h"

#include <QList>
#include <QString>

#include <array>
#include <vector>

class ProjectStore;

// One row of `suggestion`: the word, its five suggestions and the comment,
// in the table's column order. Empty texts mean "no value".
struct LinkRow
{
    QString word;
    std::array<QString, 5> suggestions;
    QString comment;

    bool operator==(const LinkRow &other) const = default;
};

// What the link dialog holds: the five words and the comment as typed.
using LinkFields = std::array<QString, 6>;

// What a mouse move over the editor shows for the word under it.
struct HoverResult
{
    std::array<QString, 5> captions; // mnuSuggest(0..4); shown when not empty
    QString tooltip;                 // the comment, "No comments", or empty
    bool visible(int index) const { return !captions.at(size_t(index)).isEmpty(); }
};

// What a hover shows of the word's rows, as the store gives them; a store
// that could not look the word up offers no links.
HoverResult lookupHover(ProjectStore &store, const QString &word);

// The editor text after choosing `caption` for the word found at the 1-based
// `wordStart`: only the first occurrence of `currentWord` from there on is
// replaced, so an identical word earlier in the text stays.
QString applySuggestion(const QString &text, qint16 wordStart, const QString &currentWord,
                        const QString &caption);

// The dialog's fields for a word, filled the way Modify link fills them:
// every row of the word, later rows overwriting with their non-empty values.
Result<LinkFields> readLinkFields(ProjectStore &store, const QString &word);
// The same from rows a store read.
LinkFields linkFieldsOf(const std::vector<LinkColumns> &rows);
// The rows of the table as a store read them, in its order.
QList<LinkRow> linkRowsFrom(const std::vector<LinkColumns> &rows);

QString eraseQuestion(const QString &hoverWord);
// The pop-up entry offered for a word without links.
QString addLinkCaption(const QString &word);
inline const QString NoCommentsText = QStringLiteral("No comments");
inline const QString FirstWordMissingText = QStringLiteral("At least write one word please");
