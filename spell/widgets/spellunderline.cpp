#include "spell/widgets/spellunderline.h"

#include "editor/tags.h"
#include "spell/speller.h"
#include "spell/wordsplitter.h"

#include <QTextCharFormat>

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

void SpellUnderline::highlightBlock(const QString &text)
{
    if (!m_speller)
        return;
    QTextCharFormat underline;
    underline.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    underline.setUnderlineColor(Qt::red);
    for (const WordSpan &span : splitWords(text)) {
        const QString word = text.mid(span.start, span.length);
        if (!isMisspelt(word) || isIgnored(text, span.start, span.length))
            continue;
        setFormat(int(span.start), int(span.length), underline);
    }
}
