#include "links/highlight.h"

#include "links/logging.h"
#include "keeping/projectstore.h"

#include <QVarLengthArray>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

bool isPlainWord(const QString &word)
{
    return std::all_of(word.cbegin(), word.cend(), [](QChar c) { return c.isLetterOrNumber(); });
}

quint32 foldedPair(QChar a, QChar b)
{
    return (quint32(a.toCaseFolded().unicode()) << 16) | b.toCaseFolded().unicode();
}

bool isLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator;
}

// One word searched the way the editor's find does it on one line.
void searchLine(QStringView line, QStringView searchable, const QString &word, qsizetype offset,
                QList<LinkMark> &marks)
{
    const qsizetype size = line.size();
    const qsizetype length = word.size();
    qsizetype from = 0;
    while (from <= size) {
        qsizetype hit = -1;
        qsizetype at = from;
        while (at <= size) {
            hit = searchable.indexOf(word, at, Qt::CaseInsensitive);
            if (hit < 0)
                break;
            const qsizetype end = hit + length;
            const bool whole = (hit == 0 || !searchable.at(hit - 1).isLetterOrNumber())
                && (end == size || !searchable.at(end).isLetterOrNumber());
            if (whole)
                break;
            at = end + 1;
            hit = -1;
        }
        if (hit < 0)
            return;
        if (line.mid(hit, length) == word)
            marks.append({offset + hit, length, word});
        from = hit + length;
    }
}

void sortMarks(QList<LinkMark> &marks)
{
    std::sort(marks.begin(), marks.end(), [](const LinkMark &a, const LinkMark &b) {
        return a.start != b.start ? a.start < b.start : a.length < b.length;
    });
    marks.erase(std::unique(marks.begin(), marks.end(),
                            [](const LinkMark &a, const LinkMark &b) {
                                return a.start == b.start && a.length == b.length;
                            }),
                marks.end());
}

} // namespace

QList<TextLine> textLines(const QString &text)
{
    QList<TextLine> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!isLineBreak(c))
            continue;
        lines.append({start, i - start});
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    lines.append({start, text.size() - start});
    return lines;
}

void LinkGlossary::setWords(const QStringList &words)
{
    m_plainWords.clear();
    m_otherWords.clear();
    m_otherByPair.clear();
    m_otherAlways.clear();
    m_longestPlain = 0;
    m_count = 0;
    QSet<QString> others;
    for (const QString &word : words) {
        // An empty word would make the search stand still.
        if (word.isEmpty())
            continue;
        ++m_count;
        if (isPlainWord(word)) {
            m_plainWords.insert(word);
            m_longestPlain = std::max(m_longestPlain, word.size());
        } else if (!others.contains(word)) {
            others.insert(word);
            const qsizetype index = m_otherWords.size();
            m_otherWords.append(word);
            if (word.size() < 2 || word.at(0).isSurrogate() || word.at(1).isSurrogate())
                m_otherAlways.append(index);
            else
                m_otherByPair[foldedPair(word.at(0), word.at(1))].append(index);
        }
    }
    m_source = nullptr;
}

Result<Done> LinkGlossary::refresh(ProjectStore &store)
{
    const qint64 version = store.linksMark();
    if (m_source == &store && version >= 0 && version == m_version)
        return Done{};
    Result<QStringList> words = store.linkWords();
    if (!words) {
        // No marks rather than marks of a glossary that could not be read.
        setWords({});
        qCWarning(lcLinks) << "cannot read the glossary:" << words.error().message;
        return words.error();
    }
    setWords(*words);
    m_source = &store;
    m_version = version;
    return Done{};
}

QList<LinkMark> LinkGlossary::marksInLine(QStringView line, qsizetype offset) const
{
    QList<LinkMark> marks;
    if (m_count == 0)
        return marks;

    if (!m_plainWords.isEmpty()) {
        const qsizetype size = line.size();
        qsizetype i = 0;
        while (i < size) {
            if (!line.at(i).isLetterOrNumber()) {
                ++i;
                continue;
            }
            const qsizetype start = i;
            while (i < size && line.at(i).isLetterOrNumber())
                ++i;
            const qsizetype length = i - start;
            if (length <= m_longestPlain) {
                const QString run = line.mid(start, length).toString();
                if (m_plainWords.contains(run))
                    marks.append({offset + start, length, run});
            }
        }
    }

    if (!m_otherWords.isEmpty()) {
        // The editor's find sees a no-break space as a blank.
        QString searchable = line.toString();
        searchable.replace(QChar::Nbsp, u' ');
        // On the stack: a line asks for a few words at most, on every key.
        QVarLengthArray<qsizetype, 64> candidates(m_otherAlways.cbegin(), m_otherAlways.cend());
        if (!m_otherByPair.isEmpty()) {
            QVarLengthArray<bool, 1024> taken(m_otherWords.size(), false);
            for (qsizetype i = 0; i + 1 < searchable.size(); ++i) {
                const auto found = m_otherByPair.constFind(foldedPair(searchable.at(i), searchable.at(i + 1)));
                if (found == m_otherByPair.cend())
                    continue;
                for (qsizetype index : *found) {
                    if (!taken[index]) {
                        taken[index] = true;
                        candidates.append(index);
                    }
                }
            }
        }
        for (qsizetype index : std::as_const(candidates))
            searchLine(line, searchable, m_otherWords.at(index), offset, marks);
        sortMarks(marks);
    }
    return marks;
}

QList<LinkMark> highlightMarks(const QString &text, const LinkGlossary &glossary)
{
    QList<LinkMark> marks;
    for (const TextLine &line : textLines(text))
        marks += glossary.marksInLine(QStringView(text).mid(line.start, line.length), line.start);
    return marks;
}

QList<LinkMark> highlightMarksInLine(const QString &text, qsizetype line, const LinkGlossary &glossary)
{
    const QList<TextLine> lines = textLines(text);
    if (line < 0 || line >= lines.size())
        return {};
    const TextLine &l = lines.at(line);
    return glossary.marksInLine(QStringView(text).mid(l.start, l.length), l.start);
}
