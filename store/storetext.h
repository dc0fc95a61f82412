#pragma once

#include <QString>

// Text stands between single quotes in statements, so the store never holds
// an apostrophe: it keeps a grave accent in its place, and the two characters
// are one and the same once stored.
inline QString toStoreText(QString text)
{
    return text.replace(u'\'', u'`');
}

inline QString fromStoreText(QString text)
{
    return text.replace(u'`', u'\'');
}

// The one way a text enters a statement: mapped, then quoted. With no
// apostrophe left inside, the literal cannot end early, so nothing typed or
// read from a file can add a clause or a second statement. SQLite needs no
// other escape inside a quoted literal; a zero character cannot stand in one
// at all, and the statement holding it is refused as unfinished.
inline QString storeLiteral(const QString &text)
{
    return u'\'' + toStoreText(text) + u'\'';
}
