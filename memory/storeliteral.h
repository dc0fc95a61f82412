#pragma once

#include "store/storetext.h"

#include <QString>

// The one place this library puts a text into a statement on the store: a
// quoted literal in the store's form, which can never close the quotes.
inline QString storeLiteral(const QString &text)
{
    return u'\'' + toStoreText(text) + u'\'';
}
