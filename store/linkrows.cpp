#include "store/linkrows.h"

#include "store/storetext.h"

using namespace Qt::StringLiterals;

QString linksInsertStatement(const QString &word, const QString &suggestion)
{
    return u"INSERT INTO suggestion"_s + u" (word,suggest1,suggest2,suggest3,suggest4,suggest5,comment) "_s
        + u"VALUES ("_s + storeLiteral(word) + u", "_s + storeLiteral(suggestion) + u",'','','','','');"_s;
}

Result<QVariant> countLinkRows(Database &db, const QString &word)
{
    return db.execute(u"SELECT COUNT(*) FROM suggestion WHERE word = "_s + storeLiteral(word) + u';');
}
