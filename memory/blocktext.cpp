#include "memory/blocktext.h"

#include "editor/tags.h"

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c.isMark() || c == u'\'' || c == u'`';
}

// One past the ">" of the tag that opens at `at`; `at` when it opens none.
qsizetype tagEnd(QStringView text, qsizetype at)
{
    if (text[at] != u'<')
        return at;
    const qsizetype close = text.indexOf(u'>', at + 1);
    return close < 0 ? at : close + 1;
}

} // namespace

QString comparableText(QStringView text)
{
    QString plain;
    plain.reserve(text.size());
    bool blank = true; // nothing yet: a leading blank is dropped
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype end = tagEnd(text, i);
        // A tag parts words like a blank: "Hi<New>there" is two words.
        const bool parting = end > i || isBlank(text[i]);
        if (parting && !blank)
            plain += u' ';
        if (!parting)
            plain += text[i];
        blank = parting;
        i = end > i ? end : i + 1;
    }
    if (plain.endsWith(u' '))
        plain.chop(1);
    return plain;
}

std::vector<TextToken> textTokens(QStringView text)
{
    std::vector<TextToken> tokens;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype end = tagEnd(text, i);
        if (end > i) {
            i = end;
        } else if (isBlank(text[i])) {
            ++i;
        } else if (isWordCharacter(text[i])) {
            const qsizetype start = i;
            while (i < text.size() && isWordCharacter(text[i]))
                ++i;
            tokens.push_back({start, i - start, true});
        } else {
            tokens.push_back({i, 1, false});
            ++i;
        }
    }
    return tokens;
}

TextFigures textFigures(QStringView text)
{
    TextFigures figures;
    for (const TextToken &token : textTokens(text)) {
        figures.characters += token.length;
        if (token.word)
            ++figures.words;
    }
    return figures;
}

QString speakerTag(QStringView text)
{
    const qsizetype lineEnd = text.indexOf(u'\n');
    QStringView first = text.first(lineEnd < 0 ? text.size() : lineEnd);
    if (first.endsWith(u'\r'))
        first.chop(1);
    if (first.isEmpty() || tagEnd(first, 0) != first.size() || tagMeaning(first).text.isEmpty())
        return {};
    return first.toString();
}
