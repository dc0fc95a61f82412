#include "check/fit.h"

#include "check/blockcheck.h"
#include "editor/pageflow.h"
#include "editor/renderer.h"
#include "editor/tags.h"

#include <QSet>

#include <limits>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString LineEnd = u"\r\n"_s;

class GlyphCounter : public PageFlowSink
{
public:
    void window(qint16, WindowGeometry) override {}
    void glyph(const PlacedGlyph &) override { ++count; }
    int count = 0;
};

// Measured on the page flow itself, so a tag counts what it shows. A word
// without tags is one glyph a character (a surrogate pair is one), the
// flow's own rule, counted here without its allocations.
int glyphCount(QStringView text)
{
    if (!text.contains(u'<')) {
        int count = 0;
        for (qsizetype i = 0; i < text.size(); ++i)
            count += text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate() ? 0 : 1;
        return count;
    }
    GlyphCounter counter;
    qint16 rows = 0;
    runPageFlow(text, std::nullopt, rows, counter);
    return counter.count;
}

QStringView withoutTrailingTags(QStringView token)
{
    while (token.endsWith(u'>')) {
        const qsizetype open = token.lastIndexOf(u'<');
        if (open < 0)
            break;
        token.truncate(open);
    }
    return token;
}

bool endsSentence(QStringView token)
{
    const QStringView shown = withoutTrailingTags(token);
    static const QString Ends = u".?!\u2026\u00BB"_s;
    return !shown.isEmpty() && Ends.contains(shown.back());
}

// A line that holds no word outside its tags (a speaker, a delay, nothing):
// it keeps its own line and never joins the words around it.
bool isFixedLine(QStringView line)
{
    bool inTag = false;
    for (const QChar c : line) {
        if (c == u'<')
            inTag = true;
        else if (c == u'>')
            inTag = false;
        else if (!inTag && c != u' ')
            return false;
    }
    return true;
}

struct Token
{
    QStringView text;
    int width = 0;
};

// Words are cut at blanks outside tags, so a tag with blanks in it stays whole
// and a tag typed against a word travels with it.
void appendTokens(QStringView line, std::vector<Token> &tokens)
{
    qsizetype start = -1;
    bool inTag = false;
    for (qsizetype i = 0; i <= line.size(); ++i) {
        const bool end = i == line.size();
        const QChar c = end ? QChar(u' ') : line[i];
        if (!end && c == u'<')
            inTag = true;
        else if (!end && c == u'>')
            inTag = false;
        if (c == u' ' && (!inTag || end)) {
            if (start >= 0) {
                const QStringView word = line.sliced(start, i - start);
                tokens.push_back({word, glyphCount(word)});
            }
            start = -1;
        } else if (start < 0) {
            start = i;
        }
    }
}

// Breaks one run of words into lines no wider than `width` glyphs. A word
// wider than the window gets a line of its own and is left overflowing.
class LineBreaker
{
public:
    LineBreaker(const std::vector<Token> &tokens, int width)
        : m_tokens(tokens)
        , m_width(width)
        , m_sums(tokens.size() + 1, 0)
    {
        for (size_t i = 0; i < tokens.size(); ++i)
            m_sums[i + 1] = m_sums[i] + tokens[i].width;
    }

    const Token &token(size_t i) const { return m_tokens[i]; }

    // Tokens [from, to) on one line, blanks between them.
    int lineWidth(size_t from, size_t to) const { return m_sums[to] - m_sums[from] + int(to - from) - 1; }
    bool fits(size_t from, size_t to) const { return to - from == 1 || lineWidth(from, to) <= m_width; }

    // Where a greedy fill of `lines` lines from `from` stops: the fewest lines
    // any break needs for a run is the greedy count.
    size_t greedyEnd(size_t from, size_t end, int lines) const
    {
        size_t i = from;
        for (int line = 0; line < lines && i < end; ++line) {
            size_t j = i + 1;
            while (j < end && fits(i, j + 1))
                ++j;
            i = j;
        }
        return i;
    }

    int fewestLines(size_t from, size_t to) const
    {
        int lines = 0;
        for (size_t i = from; i < to; ++lines)
            i = greedyEnd(i, to, 1);
        return lines;
    }

    // The break into exactly `lines` lines whose unused room is most even
    // (least sum of squares), so no lone word ends a page that could share.
    QStringList balanced(size_t from, size_t to, int lines) const
    {
        const size_t n = to - from;
        constexpr double None = std::numeric_limits<double>::infinity();
        const size_t stride = n + 1;
        std::vector<double> cost((size_t(lines) + 1) * stride, None);
        std::vector<size_t> start(cost.size(), 0);
        cost[0] = 0;
        for (size_t l = 1; l <= size_t(lines); ++l) {
            for (size_t j = 1; j <= n; ++j) {
                for (size_t i = j; i-- > 0 && fits(from + i, from + j);) {
                    if (cost[(l - 1) * stride + i] == None)
                        continue;
                    const double room = std::max(0, m_width - lineWidth(from + i, from + j));
                    const double total = cost[(l - 1) * stride + i] + room * room;
                    if (total < cost[l * stride + j]) {
                        cost[l * stride + j] = total;
                        start[l * stride + j] = i;
                    }
                }
            }
        }
        QStringList result;
        for (size_t l = size_t(lines), j = n; l > 0; --l) {
            const size_t i = start[l * stride + j];
            QString line;
            for (size_t k = i; k < j; ++k)
                line += (k > i ? u" "_s : QString()) + m_tokens[from + k].text;
            result.prepend(line);
            j = i;
        }
        return result;
    }

private:
    const std::vector<Token> &m_tokens;
    int m_width;
    std::vector<int> m_sums;
};

// One page of the text (between its page tags) laid out again.
class PageFitter
{
public:
    PageFitter(int width, int height, const QString &pageTag)
        : m_width(width)
        , m_height(height)
        , m_pageTag(pageTag)
    {
    }

    QString fit(QStringView page, bool afterPageTag);

private:
    void addFixedLine(QStringView line);
    void addWords(const std::vector<Token> &tokens);
    void breakPage();
    size_t pageEnd(const LineBreaker &breaker, size_t from, size_t end, int room) const;

    int m_width;
    int m_height;
    QString m_pageTag;
    QString m_done;        // the pages already closed, with their page tags
    QStringList m_current; // the lines of the page being filled
    int m_used = 0;
    bool m_hasWords = false;
};

QString PageFitter::fit(QStringView page, bool afterPageTag)
{
    QList<QStringView> lines = page.split(LineEnd);
    // After a page tag the first "line" is the window's top border: it holds
    // no line of the page and stays as typed. A last empty line is where the
    // next tag stands.
    const qsizetype lead = afterPageTag ? 1 : 0;
    const qsizetype trail = lines.size() - lead >= 2 && lines.back().isEmpty() ? 1 : 0;
    if (lead)
        m_done = lines.front().toString() + LineEnd;
    std::vector<Token> words;
    for (qsizetype i = lead; i < lines.size() - trail; ++i) {
        if (!isFixedLine(lines[i])) {
            appendTokens(lines[i], words);
            continue;
        }
        addWords(words);
        words.clear();
        addFixedLine(lines[i]);
    }
    addWords(words);
    return m_done + m_current.join(LineEnd) + (trail ? LineEnd : QString());
}

void PageFitter::addFixedLine(QStringView line)
{
    if (m_used + 1 > m_height && m_hasWords)
        breakPage();
    m_current << line.toString();
    ++m_used;
}

void PageFitter::breakPage()
{
    m_done += m_current.join(LineEnd) + LineEnd + m_pageTag + LineEnd;
    m_current.clear();
    m_used = 0;
    m_hasWords = false;
}

// How many words of [from, end) the page takes in `room` lines: after the
// last sentence end that fills at least half of them, else as many as fit.
size_t PageFitter::pageEnd(const LineBreaker &breaker, size_t from, size_t end, int room) const
{
    const size_t fill = breaker.greedyEnd(from, end, room);
    for (size_t k = fill; k > from; --k) {
        if (breaker.fewestLines(from, k) * 2 < room)
            break;
        if (endsSentence(breaker.token(k - 1).text))
            return k;
    }
    return fill;
}

void PageFitter::addWords(const std::vector<Token> &tokens)
{
    const LineBreaker breaker(tokens, m_width);
    size_t from = 0;
    while (from < tokens.size()) {
        int room = m_height - m_used;
        if (room <= 0) {
            if (m_hasWords) {
                breakPage();
                continue;
            }
            room = 1; // a page holds at least one line of words
        }
        const int needed = breaker.fewestLines(from, tokens.size());
        if (needed <= room) {
            m_current << breaker.balanced(from, tokens.size(), needed);
            m_used += needed;
            m_hasWords = true;
            return;
        }
        const size_t to = pageEnd(breaker, from, tokens.size(), room);
        const int lines = breaker.fewestLines(from, to);
        m_current << breaker.balanced(from, to, lines);
        m_used += lines;
        m_hasWords = true;
        from = to;
        breakPage();
    }
}

struct PageSpan
{
    qsizetype start = 0;
    qsizetype end = 0;
};

// The text between page tags, up to the end tag; nullopt when a tag is not
// closed or holds another "<", since then the game's scan and the words cannot be told apart.
std::optional<std::vector<PageSpan>> pageSpans(const QString &text)
{
    std::vector<PageSpan> spans;
    qsizetype start = 0;
    for (const TagToken &tag : findTags(text)) {
        // A tag that swallowed another ("<once ... <Close>") is as unclear.
        if (!tag.closed || QStringView(text).sliced(tag.start + 1, tag.length - 1).contains(u'<'))
            return std::nullopt;
        const PageTag kind = tagMeaning(QStringView(text).sliced(tag.start, tag.length)).page;
        if (kind == PageTag::None)
            continue;
        spans.push_back({start, tag.start});
        if (kind == PageTag::EndOfBlock)
            return spans;
        start = tag.start + tag.length;
    }
    spans.push_back({start, text.size()});
    return spans;
}

} // namespace

QList<FitOverflow> remainingOverflow(const QString &text, const QString &width, const QString &height)
{
    QList<FitOverflow> overflow;
    const auto window = windowGeometry(width, height);
    if (!window)
        return overflow;
    const int lines = (window->rows - 1) / 2;
    const QList<LaidLine> laid = layOutLines(text, window);
    for (qsizetype i = 0; i < laid.size(); ++i) {
        const LaidLine &line = laid[i];
        if (line.overStart >= 0)
            overflow.append({line.page + 1, line.number, line.lastColumn - (window->columns - 1), false});
        const bool lastOfPage = i + 1 == laid.size() || laid[i + 1].page != line.page;
        if (lastOfPage && line.number > lines)
            overflow.append({line.page + 1, lines + 1, line.number - lines, true});
    }
    return overflow;
}

FitResult fitToWindow(const QString &translation, const QString &width, const QString &height)
{
    FitResult unchanged{translation, false, remainingOverflow(translation, width, height)};
    const auto window = windowGeometry(width, height);
    const auto spans = pageSpans(translation);
    if (!window || !spans || unchanged.overflow.isEmpty())
        return unchanged;
    QSet<int> overflowing;
    for (const FitOverflow &over : unchanged.overflow)
        overflowing.insert(over.page - 1);
    // The block's own way of breaking pages is kept for the pages it gains.
    const QString pageTag = translation.contains(u"<Wait>"_s) ? u"<Wait>"_s : u"<New>"_s;
    const int glyphs = window->columns - PreviewLayout::FirstColumn;
    const int lines = (window->rows - 1) / 2;

    QString fitted;
    qsizetype done = 0;
    for (size_t page = 0; page < spans->size(); ++page) {
        const PageSpan span = (*spans)[page];
        fitted += QStringView(translation).sliced(done, span.start - done);
        const QStringView text = QStringView(translation).sliced(span.start, span.end - span.start);
        fitted += overflowing.contains(int(page)) ? PageFitter(glyphs, lines, pageTag).fit(text, page > 0)
                                                  : text.toString();
        done = span.end;
    }
    fitted += QStringView(translation).sliced(done);

    FitResult result{fitted, fitted != translation, remainingOverflow(fitted, width, height)};
    // Never trade a text for one that overflows more.
    return result.overflow.size() > unchanged.overflow.size() ? unchanged : result;
}

QString describeOverflow(const QList<FitOverflow> &overflow)
{
    QStringList parts;
    for (const FitOverflow &over : overflow) {
        parts << (over.tooManyLines ? u"page %1: %2 line(s) past the window's height"_s.arg(over.page).arg(over.excess)
                                    : u"page %1, line %2: %3 glyph(s) past the width"_s.arg(over.page)
                                          .arg(over.line)
                                          .arg(over.excess));
    }
    return parts.join(u"; "_s);
}
