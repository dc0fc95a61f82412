#include "check/checkcontext.h"

#include "links/linkstore.h"
#include "store/nodekey.h"

#include <QSet>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr size_t PlainBits = size_t(1) << 20;
constexpr size_t PairBits = size_t(1) << 16;

size_t pairBit(QChar a, QChar b)
{
    const quint32 pair = (quint32(a.toCaseFolded().unicode()) << 16) | b.toCaseFolded().unicode();
    return (pair * 2654435761u) >> 16;
}

} // namespace

QString CheckedBlock::key() const
{
    return blockKey(table, fileName, number);
}

bool FontCells::setImage(const QImage &font)
{
    m_blank.fill(false);
    m_loaded = !font.isNull();
    if (!m_loaded)
        return false;
    const QImage image = font.convertToFormat(QImage::Format_RGB32);
    // The background is the colour most of the image shows.
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            ++counts[line[x]];
    }
    QRgb background = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            background = it.key();
        }
    }
    for (int code = 0; code < 256; ++code) {
        bool blank = true;
        for (int y = 0; y < std::min(image.height(), 11) && blank; ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            for (int x = code * 8; x < code * 8 + 8 && x < image.width() && blank; ++x)
                blank = line[x] == background;
        }
        m_blank[size_t(code)] = blank;
    }
    return true;
}

void GlossaryLinks::setLinks(const QList<LinkRow> &links)
{
    m_suggestions.clear();
    for (const LinkRow &link : links) {
        QStringList &all = m_suggestions[link.word];
        for (const QString &suggestion : link.suggestions) {
            if (!suggestion.trimmed().isEmpty() && !all.contains(suggestion))
                all << suggestion;
        }
    }
    // A word without suggestions asks nothing of the translation.
    m_suggestions.removeIf([](const auto &entry) { return entry.value().isEmpty(); });
    m_foldedSuggestions.clear();
    for (auto it = m_suggestions.cbegin(); it != m_suggestions.cend(); ++it) {
        QStringList &folded = m_foldedSuggestions[it.key()];
        for (const QString &suggestion : it.value())
            folded << suggestion.toCaseFolded();
    }
    m_words.setWords(m_suggestions.keys());
    m_plainHashes.assign(PlainBits, false);
    m_otherPairs.assign(PairBits, false);
    m_searchEveryLine = false;
    for (auto it = m_suggestions.cbegin(); it != m_suggestions.cend(); ++it) {
        // A marked word starts where a run of letters and digits of the line
        // starts, and that run is the word's own first run, case and all.
        const QString &word = it.key();
        qsizetype run = 0;
        while (run < word.size() && word[run].isLetterOrNumber())
            ++run;
        if (run > 0)
            m_plainHashes[qHash(QStringView(word).first(run)) % PlainBits] = true;
        else if (word.size() < 2)
            m_searchEveryLine = true;
        else
            m_otherPairs[pairBit(word[0], word[1])] = true;
    }
}

bool GlossaryLinks::mayHoldLink(QStringView line) const
{
    if (m_searchEveryLine)
        return true;
    const qsizetype size = line.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (i + 1 < size && m_otherPairs[pairBit(line[i], line[i + 1])])
            return true;
        if (!line[i].isLetterOrNumber() || (i > 0 && line[i - 1].isLetterOrNumber()))
            continue;
        qsizetype end = i + 1;
        while (end < size && line[end].isLetterOrNumber())
            ++end;
        if (m_plainHashes[qHash(line.sliced(i, end - i)) % PlainBits])
            return true;
    }
    return false;
}

QStringList GlossaryLinks::linkedWords(const QString &original) const
{
    QStringList words;
    if (m_suggestions.isEmpty())
        return words;
    QSet<QString> seen;
    for (const TextLine &line : textLines(original)) {
        const QStringView text = QStringView(original).sliced(line.start, line.length);
        if (!mayHoldLink(text))
            continue;
        for (const LinkMark &mark : m_words.marksInLine(text, line.start)) {
            if (!seen.contains(mark.word) && m_foldedSuggestions.contains(mark.word))
                words << mark.word;
            seen.insert(mark.word);
        }
    }
    return words;
}

QList<std::pair<QString, QStringList>> GlossaryLinks::missedLinks(const QString &original,
                                                                 const QString &translation) const
{
    return missedLinks(linkedWords(original), translation);
}

QList<std::pair<QString, QStringList>> GlossaryLinks::missedLinks(const QStringList &linkedWords,
                                                                 const QString &translation) const
{
    QList<std::pair<QString, QStringList>> missed;
    if (linkedWords.isEmpty())
        return missed;
    // Regardless of case: each suggestion folded once with the links, the
    // translation here, and only when a suggestion is not in it as it stands.
    // Folding goes character by character, and a folded text folds to itself,
    // so a suggestion found unfolded is in the folded text too (unless it
    // starts or ends in the middle of a surrogate pair).
    std::optional<QString> folded;
    const auto contains = [&](const QString &s) {
        const bool whole = !s.isEmpty() && !s.front().isLowSurrogate() && !s.back().isHighSurrogate();
        if (whole && translation.contains(s))
            return true;
        if (!folded)
            folded = translation.toCaseFolded();
        return folded->contains(s);
    };
    for (const QString &word : linkedWords) {
        const auto suggestions = m_foldedSuggestions.constFind(word);
        if (suggestions == m_foldedSuggestions.cend())
            continue;
        // Contained, not whole-word: a plural or a gendered ending still uses the suggestion.
        const bool used = std::any_of(suggestions->cbegin(), suggestions->cend(), contains);
        if (!used)
            missed.append({word, m_suggestions.value(word)});
    }
    return missed;
}

void TranslationIndex::clear()
{
    m_byOriginal.clear();
    m_originalOf.clear();
}

void TranslationIndex::remove(const QString &key)
{
    const auto filed = m_originalOf.constFind(key);
    if (filed == m_originalOf.cend())
        return;
    QList<Variant> &variants = m_byOriginal[*filed];
    for (qsizetype i = 0; i < variants.size(); ++i) {
        if (variants[i].keys.removeOne(key)) {
            if (variants[i].keys.isEmpty())
                variants.removeAt(i);
            break;
        }
    }
    if (variants.isEmpty())
        m_byOriginal.remove(*filed);
    m_originalOf.erase(filed);
}

void TranslationIndex::update(const CheckedBlock &block)
{
    const QString key = block.key();
    remove(key);
    if (!block.translated || block.translation.isEmpty())
        return;
    QList<Variant> &variants = m_byOriginal[block.original];
    auto same = std::find_if(variants.begin(), variants.end(),
                             [&](const Variant &v) { return v.translation == block.translation; });
    if (same == variants.end())
        variants.append({block.translation, {key}});
    else
        same->keys.append(key);
    m_originalOf.insert(key, block.original);
}

std::optional<QString> TranslationIndex::otherTranslation(const CheckedBlock &block) const
{
    const auto found = m_byOriginal.constFind(block.original);
    if (found == m_byOriginal.cend())
        return std::nullopt;
    const QString key = block.key();
    for (const Variant &variant : *found) {
        if (variant.translation == block.translation)
            continue;
        for (const QString &other : variant.keys) {
            if (other == key)
                continue; // the block's own earlier translation
            if (const auto at = parseBlockKey(other))
                return u"%1 %2 block %3"_s.arg(at->table, at->fileName, QString::number(at->number));
        }
    }
    return std::nullopt;
}
