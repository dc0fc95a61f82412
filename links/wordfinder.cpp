#include "links/wordfinder.h"

#include "scripts/cp1252.h"

#include <limits>

namespace {

bool isWordCode(int code)
{
    return code == 47 || (code >= 48 && code <= 57) || (code >= 65 && code <= 90) || (code >= 97 && code <= 122)
        || code == 130 || (code >= 160 && code <= 165);
}

} // namespace

bool isDelimiter(QChar c)
{
    const std::optional<uchar> code = Cp1252::encode(c);
    return !code || !isWordCode(*code);
}

QString wordOver(const QString &text, qsizetype p, qint16 &wordStart, QString &currentWord)
{
    const qsizetype n = text.size();
    // wordStart can reach p + 1, which must still fit the 16-bit state.
    if (p < 1 || p > n || p >= std::numeric_limits<qint16>::max())
        return {};

    qsizetype i = p;
    while (i >= 1 && !isDelimiter(text.at(i - 1)))
        --i;
    const qsizetype start = i + 1;

    i = p;
    while (i <= n && !isDelimiter(text.at(i - 1)))
        ++i;
    const qsizetype end = i - 1;

    wordStart = qint16(start);
    if (start > end)
        return {};
    currentWord = text.mid(start - 1, end - start + 1);
    return currentWord;
}
