#include "spell/speller.h"

#include "spell/logging.h"
#include "spell/wordsplitter.h"

#include <QDir>

using namespace Qt::StringLiterals;

Speller::Speller(std::unique_ptr<HunspellDictionary> dictionary, std::shared_ptr<PersonalWordList> personal)
    : m_dictionary(std::move(dictionary))
    , m_personal(std::move(personal))
{
    if (m_personal) {
        for (const QString &word : m_personal->words())
            m_dictionary->add(word);
    }
}

bool Speller::isCorrect(const QString &word)
{
    if (m_personal && m_personal->contains(word))
        return true;
    auto known = m_correct.constFind(word);
    if (known == m_correct.cend())
        known = m_correct.insert(word, m_dictionary->isCorrect(word));
    return *known;
}

QStringList Speller::suggestions(const QString &word, int limit)
{
    auto cached = m_suggestions.constFind(word);
    if (cached == m_suggestions.cend())
        cached = m_suggestions.insert(word, m_dictionary->suggest(word));
    QStringList out = *cached;
    if (limit >= 0 && out.size() > limit)
        out.resize(limit);
    return out;
}

Result<Done> Speller::addToPersonal(const QString &word)
{
    m_dictionary->add(word);
    m_suggestions.clear(); // the new word may be the best suggestion for others
    m_correct.remove(word);
    if (!m_personal)
        return Done{};
    return m_personal->add(word);
}

QList<Misspelling> Speller::misspellings(QStringView text, qsizetype from)
{
    QList<Misspelling> out;
    const QStringView rest = text.mid(from);
    for (const WordSpan &span : splitWords(rest)) {
        const QString word = rest.mid(span.start, span.length).toString();
        if (!isCorrect(word))
            out.append({from + span.start, span.length, word});
    }
    return out;
}

SpellerCache::SpellerCache(const QString &programFolder, QStringList folders)
    : m_folders(folders.isEmpty() ? dictionaryFolders(programFolder) : std::move(folders))
    , m_personal(std::make_shared<PersonalWordList>(QDir(programFolder).filePath(PersonalWordList::fileName())))
{
}

Result<std::shared_ptr<Speller>> SpellerCache::speller(int language)
{
    const auto entry = dictionaryForLanguage(language);
    if (!entry)
        return Failure{u"No spelling dictionary is known for the language number %1."_s.arg(language), {}};
    if (auto found = m_byDictionary.value(entry->dictionary))
        return found;
    if (!m_personalLoaded) {
        // An unreadable personal list costs the translator's own words, not
        // the check: it goes on with the dictionary alone.
        if (const Result<Done> loaded = m_personal->load(); !loaded)
            qCWarning(lcSpell) << loaded.error().message;
        m_personalLoaded = true;
    }
    auto dictionary = HunspellDictionary::load(*entry, m_folders);
    if (!dictionary)
        return dictionary.error();
    auto speller = std::make_shared<Speller>(std::move(*dictionary), m_personal);
    m_byDictionary.insert(entry->dictionary, speller);
    return speller;
}
