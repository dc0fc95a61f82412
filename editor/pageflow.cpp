#include "editor/pageflow.h"
#include "editor/tags.h"

#include "scripts/cp1252.h"
#include "store/numbers.h"

#include <QString>

#include <utility>
#include <vector>

namespace {

// A character the code page has no byte for shows the "?" glyph, the byte a
// single-byte conversion of the text would put in its place.
constexpr qint16 NoCodeGlyph = '?';

// The page buffers of this thread's last run, handed to the next: every key
// runs the flow, and fresh buffers as long as the text cost an allocation
// each. A run inside a run (none today) would just start with empty ones.
struct PageBuffers
{
    QString page;
    std::vector<TextSpan> sources;
};
thread_local PageBuffers t_spareBuffers;

// One run of the page flow. Every coordinate step is checked: the run ends
// at the first step whose 16-bit result would pass 32,767: a glyph at column
// 4,096 (x 32,768, the 4,095th of a line), a line top past 32,767, a window
// row whose pixel top or bottom would pass it. What was reported before
// stays; the rest of the text, including the page gathered so far, is not.
class PageRun
{
public:
    PageRun(const std::optional<WindowGeometry> &window, qint16 &windowRows, PageFlowSink &sink)
        : m_geometry(window)
        , m_windowRows(windowRows)
        , m_sink(sink)
        , m_page(std::exchange(t_spareBuffers.page, {}))
        , m_sources(std::exchange(t_spareBuffers.sources, {}))
    {
        clearPage();
    }
    ~PageRun()
    {
        t_spareBuffers.page = std::move(m_page);
        t_spareBuffers.sources = std::move(m_sources);
    }
    PageRun(const PageRun &) = delete;
    PageRun &operator=(const PageRun &) = delete;

    bool run(QStringView text);

private:
    bool window(qint16 row);
    void append(QChar c, TextSpan source);
    void append(QStringView text, TextSpan source);
    void clearPage();
    bool flush();
    void dropPage();
    bool nextPage();
    bool closePage();

    const std::optional<WindowGeometry> &m_geometry;
    qint16 &m_windowRows;
    PageFlowSink &m_sink;
    qint16 m_x = PreviewLayout::FirstColumn;
    qint16 m_y = PreviewLayout::FirstLineTop;
    qint16 m_row = 0;
    int m_pageIndex = 0;
    bool m_dropping = false;
    QString m_page;
    std::vector<TextSpan> m_sources; // one per character of m_page
};

bool PageRun::window(qint16 row)
{
    if (!m_geometry)
        return true;
    if (!windowFits16(m_geometry->columns, m_geometry->rows, row))
        return false;
    m_sink.window(row, *m_geometry);
    m_windowRows = m_geometry->rows;
    return true;
}

void PageRun::append(QChar c, TextSpan source)
{
    m_page += c;
    m_sources.push_back(source);
}

void PageRun::append(QStringView text, TextSpan source)
{
    m_page += text;
    m_sources.insert(m_sources.end(), size_t(text.size()), source);
}

void PageRun::clearPage()
{
    // Emptied, not freed (QString::clear() frees): the next page grows into
    // the room the whole text was given.
    m_page.truncate(0);
    m_sources.clear();
}

bool PageRun::run(QStringView text)
{
    if (!window(0))
        return false;
    m_page.reserve(text.size());
    m_sources.reserve(size_t(text.size()));
    const qsizetype length = text.size();
    qsizetype i = 0;
    QString unterminated;
    while (i < length) {
        const QChar c = text[i];
        if (c != u'<') {
            append(c == u'`' ? QChar(u'\'') : c, {i, 1});
            ++i;
            continue;
        }
        QStringView tag;
        const qsizetype end = text.indexOf(u'>', i);
        const TextSpan source{i, (end < 0 ? length : end + 1) - i};
        if (end < 0) {
            // The game's scan reads the last character once more when the
            // text ends inside a tag; only the prefix rules can match then.
            unterminated = text.sliced(i).toString() + text.back();
            tag = unterminated;
            i = length;
        } else {
            tag = text.sliced(i, end - i + 1);
            i = end + 1;
        }
        const TagMeaning meaning = tagMeaning(tag);
        append(meaning.text, source);
        switch (meaning.page) {
        case PageTag::New:
        case PageTag::Wait:
            if (!nextPage())
                return false;
            break;
        case PageTag::Close:
            if (!closePage())
                return false;
            break;
        case PageTag::EndOfBlock:
            dropPage();
            break;
        case PageTag::None:
            break;
        }
        if (meaning.unknownMark)
            append(u'#', source);
    }
    return m_page.isEmpty() || flush();
}

bool PageRun::nextPage()
{
    // One empty 8-pixel row between the last window drawn and the next.
    const auto below = add16(m_windowRows, m_row);
    const auto row = below ? add16(*below, 1) : std::nullopt;
    if (!row || !window(*row))
        return false;
    if (!flush())
        return false;
    const auto y = mul16(PreviewLayout::CellSize, *row);
    if (!y)
        return false;
    m_x = PreviewLayout::FirstColumn;
    m_y = *y;
    m_row = *row;
    ++m_pageIndex;
    clearPage();
    return true;
}

bool PageRun::closePage()
{
    if (!flush())
        return false;
    const auto y = mul16(PreviewLayout::CellSize, m_row);
    if (!y)
        return false;
    m_y = *y;
    ++m_pageIndex;
    clearPage();
    return true;
}

// Laid out as a <Close> would have shown it, for the checks to measure; the
// position stays where the game leaves it.
void PageRun::dropPage()
{
    const qint16 x = m_x;
    const qint16 y = m_y;
    m_dropping = true;
    flush(); // a page that would run past 16 bits is measured as far as it goes
    m_dropping = false;
    m_x = x;
    m_y = y;
    clearPage();
}

bool PageRun::flush()
{
    const qsizetype length = m_page.size();
    qsizetype k = 0;
    while (k < length) {
        const QChar c = m_page[k];
        if (c == u'\r') {
            // The character after a carriage return is taken to be its line feed.
            const auto y = add16(m_y, PreviewLayout::LinePitch);
            if (!y)
                return false;
            m_y = *y;
            m_x = PreviewLayout::FirstColumn;
            k += 2;
            continue;
        }
        qsizetype step = 1;
        qint16 code = 0;
        if (c.isHighSurrogate() && k + 1 < length && m_page[k + 1].isLowSurrogate()) {
            code = NoCodeGlyph; // one character, one glyph
            step = 2;
        } else {
            code = glyphCode(c);
        }
        if (!mul16(m_x, PreviewLayout::GlyphWidth))
            return false;
        const TextSpan first = m_sources[size_t(k)];
        const TextSpan last = m_sources[size_t(k + step - 1)];
        const PlacedGlyph glyph{code, m_y, m_x, m_row, m_pageIndex, {first.start, last.start + last.length - first.start}};
        if (m_dropping)
            m_sink.droppedGlyph(glyph);
        else
            m_sink.glyph(glyph);
        const auto x = add16(m_x, 1);
        if (!x)
            return false;
        m_x = *x;
        k += step;
    }
    return true;
}

} // namespace

qint16 glyphCode(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) // where the code page is Latin-1
        return qint16(u);
    if (const auto byte = Cp1252::encode(c))
        return qint16(*byte);
    return NoCodeGlyph;
}

namespace {

// The last remembered run of this thread: a key shows the same text in the
// preview and measures it in the checks, and the second replays the first.
struct RememberedRun
{
    enum Kind : quint8 { Window, Glyph, Dropped };
    struct Event
    {
        Kind kind;
        PlacedGlyph glyph; // a window's row is its windowRow
    };
    bool valid = false;
    QString text;
    std::optional<WindowGeometry> window;
    qint16 rowsIn = 0;
    qint16 rowsOut = 0;
    bool result = false;
    std::vector<Event> events;

    bool matches(QStringView t, const std::optional<WindowGeometry> &w, qint16 rows) const
    {
        const bool sameWindow = window.has_value() == w.has_value()
            && (!w || (window->columns == w->columns && window->rows == w->rows));
        // With a window, the run draws window 0 before any page break reads
        // the rows it was given, so they do not change what it reports.
        return valid && sameWindow && (w || rows == rowsIn) && t == text;
    }
};

thread_local RememberedRun t_remembered;

class RememberingSink : public PageFlowSink
{
public:
    RememberingSink(PageFlowSink &sink, std::vector<RememberedRun::Event> &events)
        : m_sink(sink)
        , m_events(events)
    {
    }
    void window(qint16 row, WindowGeometry geometry) override
    {
        PlacedGlyph at;
        at.windowRow = row;
        m_events.push_back({RememberedRun::Window, at});
        m_sink.window(row, geometry);
    }
    void glyph(const PlacedGlyph &glyph) override
    {
        m_events.push_back({RememberedRun::Glyph, glyph});
        m_sink.glyph(glyph);
    }
    void droppedGlyph(const PlacedGlyph &glyph) override
    {
        m_events.push_back({RememberedRun::Dropped, glyph});
        m_sink.droppedGlyph(glyph);
    }

private:
    PageFlowSink &m_sink;
    std::vector<RememberedRun::Event> &m_events;
};

bool replay(const RememberedRun &run, qint16 &windowRows, PageFlowSink &sink)
{
    bool drewWindow = false;
    for (const RememberedRun::Event &event : run.events) {
        switch (event.kind) {
        case RememberedRun::Window:
            sink.window(event.glyph.windowRow, *run.window);
            drewWindow = true;
            break;
        case RememberedRun::Glyph:
            sink.glyph(event.glyph);
            break;
        case RememberedRun::Dropped:
            sink.droppedGlyph(event.glyph);
            break;
        }
    }
    if (drewWindow)
        windowRows = run.rowsOut;
    return run.result;
}

} // namespace

bool runPageFlow(QStringView text, const std::optional<WindowGeometry> &window, qint16 &windowRows,
                 PageFlowSink &sink, PageFlowReuse reuse)
{
    RememberedRun &last = t_remembered;
    if (last.matches(text, window, windowRows))
        return replay(last, windowRows, sink);
    if (reuse == PageFlowReuse::LookUp)
        return PageRun(window, windowRows, sink).run(text);
    last.valid = false;
    last.events.clear();
    last.rowsIn = windowRows;
    RememberingSink remembering(sink, last.events);
    last.result = PageRun(window, windowRows, remembering).run(text);
    last.rowsOut = windowRows;
    last.text = text.toString();
    last.window = window;
    last.valid = true;
    return last.result;
}
