#include "memory/similarity.h"

#include "memory/blocktext.h"

#include <algorithm>

EditDistance::EditDistance(QStringView pattern)
    : m_length(pattern.size())
    , m_words(int((pattern.size() + 63) / 64))
    , m_low(size_t(256) * size_t(m_words), 0)
    , m_none(size_t(m_words), 0)
{
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const char16_t c = pattern[i].unicode();
        quint64 *row = nullptr;
        if (c < 256) {
            row = &m_low[size_t(c) * size_t(m_words)];
        } else {
            auto at = std::find(m_highChars.begin(), m_highChars.end(), c);
            if (at == m_highChars.end()) {
                m_highChars.push_back(c);
                m_high.resize(m_high.size() + size_t(m_words), 0);
                at = m_highChars.end() - 1;
            }
            row = &m_high[size_t(at - m_highChars.begin()) * size_t(m_words)];
        }
        row[i / 64] |= quint64(1) << (i % 64);
    }
}

const quint64 *EditDistance::equalities(char16_t c) const
{
    if (c < 256)
        return &m_low[size_t(c) * size_t(m_words)];
    const auto at = std::find(m_highChars.begin(), m_highChars.end(), c);
    if (at == m_highChars.end())
        return m_none.data();
    return &m_high[size_t(at - m_highChars.begin()) * size_t(m_words)];
}

int EditDistance::to(QStringView text) const
{
    if (m_words == 0)
        return int(text.size());
    // One column of the distance table per character of `text`, kept as
    // vertical differences (+1 in Pv, -1 in Mv) of the pattern's rows.
    std::vector<quint64> pv(size_t(m_words), ~quint64(0));
    std::vector<quint64> mv(size_t(m_words), 0);
    const quint64 lastBit = quint64(1) << ((m_length - 1) % 64);
    int score = int(m_length);
    for (const QChar ch : text) {
        const quint64 *eqs = equalities(ch.unicode());
        int hin = 1; // the top row counts up: distance from the empty pattern
        for (int w = 0; w < m_words; ++w) {
            quint64 eq = eqs[w];
            const quint64 p = pv[size_t(w)];
            const quint64 m = mv[size_t(w)];
            const quint64 xv = eq | m;
            if (hin < 0)
                eq |= 1;
            const quint64 xh = (((eq & p) + p) ^ p) | eq;
            quint64 ph = m | ~(xh | p);
            quint64 mh = p & xh;
            const quint64 high = w == m_words - 1 ? lastBit : quint64(1) << 63;
            const int hout = (ph & high) ? 1 : (mh & high) ? -1 : 0;
            ph <<= 1;
            mh <<= 1;
            if (hin < 0)
                mh |= 1;
            else if (hin > 0)
                ph |= 1;
            pv[size_t(w)] = mh | ~(xv | ph);
            mv[size_t(w)] = ph & xv;
            hin = hout;
        }
        score += hin;
    }
    return score;
}

int similarityPercent(int distance, qsizetype lengthA, qsizetype lengthB)
{
    const qint64 longer = std::max(lengthA, lengthB);
    if (longer == 0)
        return 100;
    return int(100 * (longer - std::clamp<qint64>(distance, 0, longer)) / longer);
}

int similarity(QStringView a, QStringView b)
{
    return similarityPercent(EditDistance(a).to(b), a.size(), b.size());
}

QList<TextSpan> differingWords(QStringView current, QStringView other)
{
    // Only words and signs take part: tags are neither compared nor marked.
    const std::vector<TextToken> a = textTokens(current);
    const std::vector<TextToken> b = textTokens(other);
    QList<TextSpan> spans;
    // The table grows with the product of the two lengths; past a few
    // million cells the marks would cost more than they help, so the whole
    // other text is shown as differing.
    if (a.size() * b.size() > 4'000'000) {
        for (const TextToken &t : b)
            spans.append({t.start, t.length});
        return spans;
    }
    const auto same = [&](size_t i, size_t j) {
        return current.sliced(a[i].start, a[i].length) == other.sliced(b[j].start, b[j].length);
    };
    // lcs[i][j]: the longest common run of a[i..] and b[j..].
    const size_t columns = b.size() + 1;
    std::vector<int> lcs((a.size() + 1) * columns, 0);
    for (size_t i = a.size(); i-- > 0;) {
        for (size_t j = b.size(); j-- > 0;) {
            lcs[i * columns + j] = same(i, j) ? lcs[(i + 1) * columns + j + 1] + 1
                                              : std::max(lcs[(i + 1) * columns + j], lcs[i * columns + j + 1]);
        }
    }
    size_t i = 0, j = 0;
    while (j < b.size()) {
        if (i < a.size() && same(i, j)) {
            ++i;
            ++j;
        } else if (i < a.size() && lcs[(i + 1) * columns + j] >= lcs[i * columns + j + 1]) {
            ++i;
        } else {
            spans.append({b[j].start, b[j].length});
            ++j;
        }
    }
    return spans;
}
