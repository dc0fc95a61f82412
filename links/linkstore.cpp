#include "links/linkstore.h"

#include "keeping/projectstore.h"
#include "links/logging.h"
#include "store/database.h"
#include "store/layout.h"
#include "store/storetext.h"

using namespace Qt::StringLiterals;

QString hoverLookupStatement(const QString &word)
{
    return u"SELECT * FROM suggestion WHERE word = "_s + storeLiteral(word) + u';';
}

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

Result<LinkFields> readLinkFields(Database &db, const QString &word)
{
    LinkFields fields;
    Result<ResultSet> rows = db.query(hoverLookupStatement(word));
    if (!rows)
        return rows.error();
    while (rows->next()) {
        for (int i = 0; i < 5; ++i) {
            const QString suggestion = rows->text(ColSuggest1 + i);
            if (!suggestion.isEmpty())
                fields[size_t(i)] = suggestion;
        }
        const QString comment = rows->text(ColComment);
        if (!comment.isEmpty())
            fields[5] = comment;
    }
    rows->close();
    return fields;
}

Result<LinkFields> readLinkFields(ProjectStore &store, const QString &word)
{
    const Result<std::vector<LinkColumns>> rows = store.linksOf(word);
    if (!rows)
        return rows.error();
    LinkFields fields;
    for (const LinkColumns &row : *rows) {
        for (int i = 0; i < 5; ++i) {
            if (!row[size_t(ColSuggest1 + i)].isEmpty())
                fields[size_t(i)] = row[size_t(ColSuggest1 + i)];
        }
        if (!row[ColComment].isEmpty())
            fields[5] = row[ColComment];
    }
    return fields;
}

Result<QList<LinkRow>> readAllLinks(Database &db)
{
    QList<LinkRow> links;
    Result<ResultSet> rows = db.query(u"SELECT * FROM suggestion"_s);
    if (!rows.ok())
        return rows.error();
    links.reserve(rows->rowCount());
    while (rows->next()) {
        LinkRow link;
        link.word = rows->text(ColWord);
        for (int i = 0; i < 5; ++i)
            link.suggestions[size_t(i)] = rows->text(ColSuggest1 + i);
        link.comment = rows->text(ColComment);
        links.append(std::move(link));
    }
    rows->close();
    return links;
}

QString linkSaveStatement(const QString &hoverWord, const LinkFields &fields, bool editLinkMode)
{
    LinkFields v;
    for (size_t i = 0; i < fields.size(); ++i)
        v[i] = storeLiteral(fields[i]);
    const QString word = storeLiteral(hoverWord);
    if (editLinkMode) {
        return u"UPDATE suggestion SET suggest1 = "_s + v[0] + u", suggest2 = "_s + v[1] + u", suggest3 = "_s
            + v[2] + u", suggest4 = "_s + v[3] + u", suggest5 = "_s + v[4] + u", comment = "_s + v[5]
            + u" WHERE word = "_s + word + u';';
    }
    return u"INSERT INTO suggestion (word, suggest1, suggest2, suggest3, suggest4, suggest5, comment) VALUES ("_s
        + word + u","_s + v[0] + u", "_s + v[1] + u", "_s + v[2] + u", "_s + v[3] + u", "_s + v[4]
        + u", "_s + v[5] + u");"_s;
}

QString linkEraseStatement(const QString &hoverWord)
{
    return u"DELETE FROM suggestion WHERE word = "_s + storeLiteral(hoverWord) + u';';
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

Result<Done> saveLink(Database &db, const QString &hoverWord, const LinkFields &fields, bool editLinkMode)
{
    Result<QVariant> ran = db.execute(linkSaveStatement(hoverWord, fields, editLinkMode));
    if (ran)
        return Done{};
    Failure failure = ran.error();
    failure.message = u"The link to \"%1\" could not be saved. %2"_s.arg(hoverWord, failure.message);
    return failure;
}

Result<Done> eraseLink(Database &db, const QString &hoverWord)
{
    Result<QVariant> ran = db.execute(linkEraseStatement(hoverWord));
    if (ran)
        return Done{};
    Failure failure = ran.error();
    failure.message = u"The links to \"%1\" could not be erased. %2"_s.arg(hoverWord, failure.message);
    return failure;
}
