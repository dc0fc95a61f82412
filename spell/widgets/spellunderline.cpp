#include "spell/widgets/spellunderline.h"

#include "editor/tags.h"
#include "spell/speller.h"
#include "spell/wordsplitter.h"

#include <QTextCharFormat>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

SpellUnderline::SpellUnderline(QTextDocument *document, Ignored ignored)
    : QSyntaxHighlighter(document)
    , m_ignored(std::move(ignored))
{
}

void SpellUnderline::setSpeller(std::shared_ptr<Speller> speller)
{
    m_speller = std::move(speller);
    m_correct.clear();
    rehighlight();
}

void SpellUnderline::wordAdded(const QString &word)
{
    m_correct.insert(word, true);
    rehighlight();
}

bool SpellUnderline::isMisspelt(const QString &word)
{
    if (!m_speller)
        return false;
    auto known = m_correct.constFind(word);
    if (known == m_correct.cend()) {
        // A speaker's name is the game's, whatever the dictionary says.
        const QString tag = u'<' + word + u'>';
        const bool speaker = tagMeaning(tag).text == word;
        known = m_correct.insert(word, speaker || m_speller->isCorrect(word));
    }
    return !*known;
}

namespace {

bool overlaps(const QList<SpellUnderline::Span> &spans, qsizetype start, qsizetype length)
{
    return std::any_of(spans.cbegin(), spans.cend(), [&](const SpellUnderline::Span &span) {
        return span.start < start + length && start < span.start + span.length;
    });
}

} // namespace

bool SpellUnderline::isIgnored(QStringView line, qsizetype start, qsizetype length) const
{
    return m_ignored && overlaps(m_ignored(line), start, length);
}

void SpellUnderline::highlightBlock(const QString &text)
{
    if (!m_speller)
        return;
    QTextCharFormat underline;
    underline.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    underline.setUnderlineColor(Qt::red);
    // Asked once per line, on its first misspelt word: finding the spans costs
    // a pass over the whole line.
    std::optional<QList<Span>> ignored;
    for (const WordSpan &span : splitWords(text)) {
        if (!isMisspelt(text.mid(span.start, span.length)))
            continue;
        if (m_ignored && !ignored)
            ignored = m_ignored(text);
        if (ignored && overlaps(*ignored, span.start, span.length))
            continue;
        setFormat(int(span.start), int(span.length), underline);
    }
}
