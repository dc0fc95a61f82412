#include "spell/wordsplitter.h"

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c.isMark();
}

namespace {

bool isApostrophe(QChar c)
{
    return c == u'`' || c == u'\'' || c == QChar(0x2019);
}

} // namespace

QList<WordSpan> splitWords(QStringView text)
{
    QList<WordSpan> words;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c == u'<') {
            const qsizetype close = text.indexOf(u'>', i + 1);
            // An unclosed "<" is only a mark; the text after it is still read.
            if (close > i) {
                i = close + 1;
                continue;
            }
            ++i;
            continue;
        }
        if (!isWordCharacter(c)) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        bool hasDigit = false;
        while (i < n && isWordCharacter(text[i])) {
            hasDigit |= text[i].isDigit();
            ++i;
        }
        const qsizetype length = i - start;
        const bool elidedTail = length == 1 && start > 0 && isApostrophe(text[start - 1]);
        if (!hasDigit && !elidedTail)
            words.append({start, length});
    }
    return words;
}
