#pragma once

#include "store/result.h"

#include <QList>
#include <QString>

#include <array>

class Database;
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

// The lookup of a mouse move. The word goes into the statement as it is,
// also when empty: the word finder never yields an apostrophe.
QString hoverLookupStatement(const QString &word);
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
Result<LinkFields> readLinkFields(Database &db, const QString &word);
Result<LinkFields> readLinkFields(ProjectStore &store, const QString &word);
// Every row of the table in table order.
Result<QList<LinkRow>> readAllLinks(Database &db);

// The dialog's OK: UPDATE in edit mode, INSERT otherwise. Typed text may hold
// an apostrophe, which would end the quoted value; it is mapped to a grave
// accent as the store maps all text, and so is the word.
QString linkSaveStatement(const QString &hoverWord, const LinkFields &fields, bool editLinkMode);
QString linkEraseStatement(const QString &hoverWord);
QString eraseQuestion(const QString &hoverWord);
// The pop-up entry offered for a word without links.
QString addLinkCaption(const QString &word);
inline const QString NoCommentsText = QStringLiteral("No comments");
inline const QString FirstWordMissingText = QStringLiteral("At least write one word please");

// Runs a statement; a refusal's message is a sentence for the user.
Result<Done> saveLink(Database &db, const QString &hoverWord, const LinkFields &fields, bool editLinkMode);
Result<Done> eraseLink(Database &db, const QString &hoverWord);
