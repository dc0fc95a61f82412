#include "check/checkcontext.h"

#include "links/linkstore.h"
#include "store/nodekey.h"

#include <QSet>

using namespace Qt::StringLiterals;

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
    m_words.setWords(m_suggestions.keys());
}

QList<std::pair<QString, QStringList>> GlossaryLinks::missedLinks(const QString &original,
                                                                 const QString &translation) const
{
    QList<std::pair<QString, QStringList>> missed;
    if (m_suggestions.isEmpty())
        return missed;
    QSet<QString> seen;
    for (const LinkMark &mark : highlightMarks(original, m_words)) {
        if (seen.contains(mark.word))
            continue;
        seen.insert(mark.word);
        const QStringList suggestions = m_suggestions.value(mark.word);
        // Contained, not whole-word: a plural or a gendered ending still uses the suggestion.
        const bool used = std::any_of(suggestions.cbegin(), suggestions.cend(), [&](const QString &s) {
            return translation.contains(s, Qt::CaseInsensitive);
        });
        if (!used)
            missed.append({mark.word, suggestions});
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
