#include "links/linkstore.h"

#include "keeping/projectstore.h"
#include "links/logging.h"
#include "store/database.h"
#include "store/layout.h"
#include "store/storetext.h"

using namespace Qt::StringLiterals;

HoverResult lookupHover(ProjectStore &store, const QString &word)
{
    HoverResult result;
    const Result<std::vector<LinkColumns>> rows = store.linksOf(word);
    if (!rows) {
        // A hover that cannot be looked up offers no links; the log says why.
        qCWarning(lcLinks) << "hover lookup failed:" << rows.error().message;
        return result;
    }
    for (const LinkColumns &row : *rows) {
        for (int i = 0; i < 5; ++i) {
            const QString &suggestion = row[size_t(ColSuggest1 + i)];
            if (!suggestion.isEmpty())
                result.captions[size_t(i)] = suggestion;
        }
        const QString &comment = row[ColComment];
        result.tooltip = comment.isEmpty() ? NoCommentsText : comment;
    }
    return result;
}

QString applySuggestion(const QString &text, qint16 wordStart, const QString &currentWord, const QString &caption)
{
    const qsizetype head = qBound(qsizetype(0), qsizetype(wordStart) - 1, text.size());
    QString rest = text.mid(head);
    if (!currentWord.isEmpty()) {
        const qsizetype at = rest.indexOf(currentWord, 0, Qt::CaseSensitive);
        if (at >= 0)
            rest.replace(at, currentWord.size(), caption);
    }
    return text.left(head) + rest;
}

Result<LinkFields> readLinkFields(ProjectStore &store, const QString &word)
{
    const Result<std::vector<LinkColumns>> rows = store.linksOf(word);
    if (!rows)
        return rows.error();
    return linkFieldsOf(*rows);
}

LinkFields linkFieldsOf(const std::vector<LinkColumns> &rows)
{
    LinkFields fields;
    for (const LinkColumns &row : rows) {
        for (int i = 0; i < 5; ++i) {
            if (!row[size_t(ColSuggest1 + i)].isEmpty())
                fields[size_t(i)] = row[size_t(ColSuggest1 + i)];
        }
        if (!row[ColComment].isEmpty())
            fields[5] = row[ColComment];
    }
    return fields;
}

QList<LinkRow> linkRowsFrom(const std::vector<LinkColumns> &rows)
{
    QList<LinkRow> links;
    links.reserve(qsizetype(rows.size()));
    for (const LinkColumns &row : rows)
        links.append({row[0], {row[1], row[2], row[3], row[4], row[5]}, row[6]});
    return links;
}

QString eraseQuestion(const QString &hoverWord)
{
    return u"Do you want to erase the links to the word '"_s + hoverWord + u"'?"_s;
}

QString addLinkCaption(const QString &word)
{
    const QString caption = u"Add link to"_s;
    return caption + u'"' + word + u'"';
}
