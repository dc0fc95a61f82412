#include "spell/spellingservice.h"

#include "spell/clipboard.h"
#include "spell/logging.h"

#include <QHash>
#include <QSet>

using namespace Qt::StringLiterals;

namespace {

bool endsSentence(QChar c)
{
    return c == u'.' || c == u'!' || c == u'?' || c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator;
}

} // namespace

QString sentenceAround(QStringView text, qsizetype start, qsizetype length, qsizetype *offset)
{
    qsizetype from = start;
    while (from > 0 && !endsSentence(text[from - 1]))
        --from;
    qsizetype to = start + length;
    while (to < text.size() && !endsSentence(text[to]))
        ++to;
    // Keep the closing mark (not a line break) with the sentence.
    if (to < text.size() && text[to] != u'\n' && text[to] != u'\r' && text[to] != QChar::ParagraphSeparator)
        ++to;
    while (from < start && text[from].isSpace())
        ++from;
    if (offset)
        *offset = from;
    return text.mid(from, to - from).toString().trimmed();
}

Result<std::unique_ptr<HunspellSpellingService>> HunspellSpellingService::create(SpellerCache &spellers,
                                                                                 int language,
                                                                                 TextClipboard &clipboard,
                                                                                 SpellCheckDialog &dialog)
{
    auto speller = spellers.speller(language);
    if (!speller)
        return speller.error();
    return std::unique_ptr<HunspellSpellingService>(
        new HunspellSpellingService(spellers, std::move(*speller), clipboard, dialog));
}

HunspellSpellingService::HunspellSpellingService(SpellerCache &spellers, std::shared_ptr<Speller> speller,
                                                 TextClipboard &clipboard, SpellCheckDialog &dialog)
    : m_spellers(spellers)
    , m_speller(std::move(speller))
    , m_clipboard(clipboard)
    , m_dialog(dialog)
{
}

void HunspellSpellingService::addDocument()
{
    m_content.clear();
}

TextRange HunspellSpellingService::range()
{
    return {0, m_content.size()};
}

TextRange HunspellSpellingService::insertAfter(const TextRange &range, const QString &text)
{
    const qsizetype at = qBound(qsizetype(0), range.end, m_content.size());
    m_content.insert(at, text);
    return {range.start, at + text.size()};
}

QList<Misspelling> HunspellSpellingService::spellingErrors(const TextRange &range)
{
    const qsizetype start = qBound(qsizetype(0), range.start, m_content.size());
    const qsizetype end = qBound(start, range.end, m_content.size());
    return m_speller->misspellings(QStringView(m_content).left(end), start);
}

void HunspellSpellingService::paste()
{
    m_content = m_clipboard.text();
}

bool HunspellSpellingService::checkSpelling(int language)
{
    auto speller = m_spellers.speller(language);
    if (!speller) {
        m_lastError = speller.error().message;
        return false;
    }
    m_speller = std::move(*speller);

    QSet<QString> ignored;
    QHash<QString, QString> changeAll;
    qsizetype pos = 0;
    while (true) {
        const QList<Misspelling> ahead = m_speller->misspellings(m_content, pos);
        if (ahead.isEmpty())
            break;
        const Misspelling miss = ahead.first();
        const qsizetype end = miss.start + miss.length;
        if (ignored.contains(miss.word)) {
            pos = end;
            continue;
        }
        if (const auto it = changeAll.constFind(miss.word); it != changeAll.cend()) {
            m_content.replace(miss.start, miss.length, *it);
            pos = miss.start + it->size();
            continue;
        }

        SpellQuestion question;
        qsizetype offset = 0;
        question.sentence = sentenceAround(m_content, miss.start, miss.length, &offset);
        question.wordStart = miss.start - offset;
        question.word = miss.word;
        question.suggestions = m_speller->suggestions(miss.word);
        const SpellAnswer answer = m_dialog.ask(question);

        switch (answer.action) {
        case SpellAnswer::IgnoreOnce:
            pos = end;
            break;
        case SpellAnswer::IgnoreAll:
            ignored.insert(miss.word);
            pos = end;
            break;
        case SpellAnswer::AddToDictionary: {
            if (const Result<Done> added = m_speller->addToPersonal(miss.word); !added) {
                qCWarning(lcSpell) << added.error().message;
                if (m_onProblem)
                    m_onProblem(added.error().message);
            }
            pos = end;
            break;
        }
        case SpellAnswer::ChangeAll:
            changeAll.insert(miss.word, answer.replacement);
            Q_FALLTHROUGH();
        case SpellAnswer::Change:
            // The replacement is the translator's choice: it is not checked again.
            m_content.replace(miss.start, miss.length, answer.replacement);
            pos = miss.start + answer.replacement.size();
            break;
        case SpellAnswer::Cancel:
            // Cancel stops the check but keeps the corrections already made,
            // as word processors do: the translator chose each of them, and
            // the rest of the text is simply left as it was.
            return true;
        }
    }
    return true;
}

void HunspellSpellingService::copy()
{
    m_clipboard.setText(m_content);
}

void HunspellSpellingService::close(int)
{
    // Nothing of the document is kept anywhere, so there is nothing to save.
    m_content.clear();
}

void HunspellSpellingService::quit(int)
{
    close(0);
}
