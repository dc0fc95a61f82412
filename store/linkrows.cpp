#include "store/linkrows.h"

#include "store/storetext.h"

using namespace Qt::StringLiterals;

namespace {

Result<std::vector<LinkColumns>> columnsOf(Result<ResultSet> rows)
{
    if (!rows.ok())
        return rows.error();
    std::vector<LinkColumns> out;
    out.reserve(size_t(rows->rowCount()));
    while (rows->next()) {
        LinkColumns &row = out.emplace_back();
        for (int column = 0; column < int(row.size()); ++column)
            row[size_t(column)] = rows->text(column);
    }
    rows->close();
    return out;
}

QString linkSaveStatement(const QString &hoverWord, const std::array<QString, 6> &fields, bool editLinkMode)
{
    std::array<QString, 6> v;
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

} // namespace

QString linksInsertStatement(const QString &word, const QString &suggestion)
{
    return u"INSERT INTO suggestion"_s + u" (word,suggest1,suggest2,suggest3,suggest4,suggest5,comment) "_s
        + u"VALUES ("_s + storeLiteral(word) + u", "_s + storeLiteral(suggestion) + u",'','','','','');"_s;
}

Result<QVariant> countLinkRows(Database &db, const QString &word)
{
    return db.execute(u"SELECT COUNT(*) FROM suggestion WHERE word = "_s + storeLiteral(word) + u';');
}

Result<std::vector<LinkColumns>> readLinkRows(Database &db)
{
    return columnsOf(db.query(u"SELECT * FROM suggestion"_s));
}

Result<std::vector<LinkColumns>> linkRowsOf(Database &db, const QString &word)
{
    return columnsOf(db.query(u"SELECT * FROM suggestion WHERE word = "_s + storeLiteral(word) + u';'));
}

Result<Done> writeLink(Database &db, const QString &word, const std::array<QString, 6> &fields, bool modify)
{
    Result<QVariant> ran = db.execute(linkSaveStatement(word, fields, modify));
    if (ran)
        return Done{};
    Failure failure = ran.error();
    failure.message = u"The link to \"%1\" could not be saved. %2"_s.arg(word, failure.message);
    return failure;
}

Result<Done> eraseLinkRows(Database &db, const QString &word)
{
    Result<QVariant> ran = db.execute(linkEraseStatement(word));
    if (ran)
        return Done{};
    Failure failure = ran.error();
    failure.message = u"The links to \"%1\" could not be erased. %2"_s.arg(word, failure.message);
    return failure;
}
