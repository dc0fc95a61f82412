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
