// The rules that look at what the preview draws: they run the preview's own
// page flow, so a line or page the check counts is the one the preview shows.
#include "check/blockcheck.h"

#include "editor/pageflow.h"
#include "scripts/cp1252.h"

#include <QSet>

#include <limits>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

bool hasCode(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x80 || (u >= 0xA0 && u <= 0xFF) || Cp1252::encode(c).has_value();
}

const FontCells NoFont; // no cell is blank

class MeasuringSink : public PageFlowSink
{
public:
    MeasuringSink(const QString &text, const FontCells &font, qint16 lastInnerColumn)
        : m_text(text)
        , m_font(font)
        , m_lastInnerColumn(lastInnerColumn)
    {
    }

    void window(qint16, WindowGeometry) override {}
    void glyph(const PlacedGlyph &glyph) override;
    void droppedGlyph(const PlacedGlyph &glyph) override;

    QList<LaidLine> lines;
    // The dropped pages that hold something to read, from their first glyph
    // that is not a blank to their last.
    struct DroppedPage
    {
        int page;
        qsizetype start;
        qsizetype end;
    };
    std::vector<DroppedPage> droppedPages;
    struct Blank
    {
        qsizetype start;
        qsizetype end;
        QString shown;
    };
    std::vector<Blank> blanks; // glyphs the font draws nothing for

private:
    void place(const PlacedGlyph &glyph, bool dropped);

    const QString &m_text;
    const FontCells &m_font;
    qint16 m_lastInnerColumn;
    bool m_lastDropped = false;
};

bool isBlankGlyph(qint16 code)
{
    return code == ' ' || code == 0xA0;
}

void MeasuringSink::droppedGlyph(const PlacedGlyph &glyph)
{
    place(glyph, true);
    if (isBlankGlyph(glyph.code))
        return;
    const qsizetype end = glyph.source.start + glyph.source.length;
    if (!droppedPages.empty() && droppedPages.back().page == glyph.page)
        droppedPages.back().end = std::max(droppedPages.back().end, end);
    else
        droppedPages.push_back({glyph.page, glyph.source.start, end});
}

void MeasuringSink::glyph(const PlacedGlyph &glyph)
{
    place(glyph, false);
    const qsizetype start = glyph.source.start;
    const qsizetype end = start + glyph.source.length;
    // Blanks draw nothing by design; a character without a code is found on its own.
    const bool blankByDesign = isBlankGlyph(glyph.code);
    if (!m_font.isBlank(glyph.code) || blankByDesign || !hasCode(m_text[start]) || m_text[start] == u'\t')
        return;
    const QString shown = glyph.code < 32 ? u"control character %1"_s.arg(glyph.code)
                                          : u"\"%1\""_s.arg(Cp1252::decode(uchar(glyph.code)));
    if (!blanks.empty() && blanks.back().end >= start && blanks.back().start <= start) {
        blanks.back().end = std::max(blanks.back().end, end); // one tag, or the next character
        if (!blanks.back().shown.contains(shown))
            blanks.back().shown += u", "_s + shown;
        return;
    }
    blanks.push_back({start, end, shown});
}

void MeasuringSink::place(const PlacedGlyph &glyph, bool dropped)
{
    const qsizetype start = glyph.source.start;
    const qsizetype end = start + glyph.source.length;
    // A dropped page measured where it would stand never shares a line with a shown one.
    if (lines.isEmpty() || lines.back().page != glyph.page || lines.back().top != glyph.top
        || m_lastDropped != dropped) {
        // Lines stand 15 pixels apart from the first, 6 below the window's top edge.
        const int fromFirst = glyph.top - (8 * glyph.windowRow + 14);
        const int number = (fromFirst >= 0 ? fromFirst / 15 : -((-fromFirst + 14) / 15)) + 1;
        lines.append({glyph.page, number, glyph.top, glyph.column, glyph.column, start, end, -1, -1, dropped});
    }
    LaidLine &line = lines.back();
    line.lastColumn = glyph.column;
    line.end = std::max(line.end, end);
    if (glyph.column > m_lastInnerColumn) {
        if (line.overStart < 0)
            line.overStart = start;
        line.overEnd = std::max(line.overEnd, end);
    }
    m_lastDropped = dropped;
}

Finding spanFinding(Rule rule, const QString &message, qsizetype start, qsizetype end)
{
    return {rule, ruleSeverity(rule), message, start, end - start};
}

QString plural(qsizetype n, const QString &one, const QString &many)
{
    return QString::number(n) + u' ' + (n == 1 ? one : many);
}

QString widthMessage(const LayoutMemo::OverflowKey &key)
{
    const QString where = key.line >= 1 ? u"line %1"_s.arg(key.line) : u"the line above the window"_s;
    return u"Page %1, %2: %3 past the window's width (%4 fit)."_s.arg(
        QString::number(key.page + 1), where, plural(key.count, u"glyph"_s, u"glyphs"_s), QString::number(key.fit));
}

QString heightMessage(const LayoutMemo::OverflowKey &key)
{
    return u"Page %1, line %2: %3 past the window's height (%4 fit)."_s.arg(
        QString::number(key.page + 1), QString::number(key.line), plural(key.count, u"line"_s, u"lines"_s),
        QString::number(key.fit));
}

// A line's message is known by what it says: a line above the window says the
// same whatever its number.
QString overflowMessage(const LayoutMemo::OverflowKey &key, LayoutMemo *memo)
{
    const auto format = key.pastHeight ? heightMessage : widthMessage;
    if (!memo)
        return format(key);
    // Bounded: a long session of typing in one block leaves no heap of messages behind.
    if (memo->overflowMessages.size() > 4096)
        memo->overflowMessages.clear();
    auto known = memo->overflowMessages.find(key);
    if (known == memo->overflowMessages.end())
        known = memo->overflowMessages.insert(key, format(key));
    return *known;
}

void reportOverflow(const QList<LaidLine> &lines, const WindowGeometry &window, QList<Finding> &findings,
                    LayoutMemo *memo)
{
    const int fit = window.columns - 2;
    const int height = (window.rows - 1) / 2;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const LaidLine &line = lines[i];
        if (line.overStart >= 0) {
            const LayoutMemo::OverflowKey key{false, line.page, std::max(line.number, 0),
                                              line.lastColumn - (window.columns - 1), fit};
            findings << spanFinding(Rule::Overflow, overflowMessage(key, memo), line.overStart, line.overEnd);
        }
        const bool lastOfPage = i + 1 == lines.size() || lines[i + 1].page != line.page;
        if (!lastOfPage || line.number <= height)
            continue;
        qsizetype first = i;
        while (first > 0 && lines[first - 1].page == line.page && lines[first - 1].number > height)
            --first;
        const LayoutMemo::OverflowKey key{true, line.page, height + 1, line.number - height, height};
        findings << spanFinding(Rule::Overflow, overflowMessage(key, memo), lines[first].start, line.end);
    }
}

void reportMissingCodes(const QString &text, QList<Finding> &findings)
{
    // A tab comes in by paste or import; the editor itself moves the focus with it.
    for (qsizetype at = text.indexOf(u'\t'); at >= 0; at = text.indexOf(u'\t', at + 1)) {
        findings << spanFinding(Rule::Glyph, u"A tab character: the game font has no glyph for it; use blanks."_s, at,
                            at + 1);
    }
    qsizetype i = 0;
    while (i < text.size()) {
        if (hasCode(text[i])) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        while (i < text.size() && !hasCode(text[i]))
            ++i;
        const QString run = text.mid(start, i - start);
        findings << spanFinding(Rule::Glyph,
                            u"\"%1\" has no Windows-1252 code: the export cannot write it and the game cannot "
                            "show it."_s.arg(run),
                            start, i);
    }
}

// The pages of the original with something shown on them.
QSet<int> shownPages(const QString &original, const std::optional<WindowGeometry> &window)
{
    class PageSink : public PageFlowSink
    {
    public:
        void window(qint16, WindowGeometry) override {}
        void glyph(const PlacedGlyph &glyph) override
        {
            if (!isBlankGlyph(glyph.code))
                pages.insert(glyph.page);
        }
        QSet<int> pages;
    } sink;
    qint16 windowRows = 0;
    runPageFlow(original, window, windowRows, sink);
    return sink.pages;
}

void reportDropped(const CheckedBlock &block, const std::vector<MeasuringSink::DroppedPage> &dropped,
                   const std::optional<WindowGeometry> &window, QList<Finding> &findings, LayoutMemo *memo)
{
    if (dropped.empty())
        return;
    if (memo
        && (!memo->shownPages || memo->shownOriginal != block.original || memo->shownWidth != block.width
            || memo->shownHeight != block.height)) {
        memo->shownPages = shownPages(block.original, window);
        memo->shownOriginal = block.original;
        memo->shownWidth = block.width;
        memo->shownHeight = block.height;
    }
    const QSet<int> shown = memo ? *memo->shownPages : shownPages(block.original, window);
    for (const auto &page : dropped) {
        Finding f = spanFinding(Rule::Dropped,
                            u"Page %1 is never shown: it ends at <End of Block> without <Close> or <Wait>."_s.arg(
                                page.page + 1),
                            page.start, page.end);
        if (shown.contains(page.page))
            f.severity = Severity::Error;
        findings << f;
    }
}

} // namespace

QList<LaidLine> layOutLines(const QString &text, const std::optional<WindowGeometry> &window)
{
    MeasuringSink sink(text, NoFont, window ? qint16(window->columns - 1) : std::numeric_limits<qint16>::max());
    qint16 windowRows = 0;
    runPageFlow(text, window, windowRows, sink);
    return sink.lines;
}

QList<QRect> overflowMarks(const QString &text, const QString &width, const QString &height)
{
    const auto window = windowGeometry(width, height);
    return window ? overflowMarks(layOutLines(text, window), width, height) : QList<QRect>();
}

QList<QRect> overflowMarks(const QList<LaidLine> &laidLines, const QString &width, const QString &height)
{
    QList<QRect> marks;
    const auto window = windowGeometry(width, height);
    if (!window)
        return marks;
    const int lines = (window->rows - 1) / 2;
    for (const LaidLine &line : laidLines) {
        if (line.dropped)
            continue; // nothing drawn to mark
        const int cell = PreviewLayout::GlyphWidth;
        const int from = line.number > lines ? line.firstColumn : std::max<int>(line.firstColumn, window->columns);
        if (line.number > lines || line.overStart >= 0)
            marks << QRect(from * cell, line.top, (line.lastColumn + 1 - from) * cell, PreviewLayout::GlyphHeight);
    }
    return marks;
}

void checkLayout(const CheckedBlock &block, const FontCells &font, RuleSet rules, QList<Finding> &findings,
                 QList<LaidLine> *lines, LayoutMemo *memo)
{
    const auto window = windowGeometry(block.width, block.height);
    const qint16 lastInnerColumn = window ? qint16(window->columns - 1) : std::numeric_limits<qint16>::max();
    MeasuringSink sink(block.translation, rules.contains(Rule::Glyph) ? font : NoFont, lastInnerColumn);
    if (lines) {
        // The last check's lines, emptied: their room is laid out into
        // again instead of growing a list line by line on every key.
        sink.lines.swap(*lines);
        sink.lines.clear();
    }
    qint16 windowRows = 0;
    // Lines are asked for the open block, whose preview runs the same flow.
    runPageFlow(block.translation, window, windowRows, sink,
                lines ? PageFlowReuse::Remember : PageFlowReuse::LookUp);
    if (lines)
        *lines = sink.lines;
    // A height that draws no window has nothing to overflow.
    if (rules.contains(Rule::Overflow) && window)
        reportOverflow(sink.lines, *window, findings, memo);
    if (rules.contains(Rule::Dropped))
        reportDropped(block, sink.droppedPages, window, findings, memo);
    if (!rules.contains(Rule::Glyph))
        return;
    reportMissingCodes(block.translation, findings);
    for (const auto &blank : sink.blanks)
        findings << spanFinding(Rule::Glyph,
                            u"%1 is blank in the game font: the game shows nothing there."_s.arg(blank.shown),
                            blank.start, blank.end);
}
