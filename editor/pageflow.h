#pragma once

#include "editor/renderer.h"

#include <QStringView>

#include <optional>

// The page flow of the preview, without pixels: which window each page of a
// block's text opens, and where each glyph lands. The preview draws what it
// reports and the checks measure it, so both see the same lines and pages.

// The characters of the text a glyph stands for: the character itself (two
// for a surrogate pair), or the whole tag whose text it shows.
struct TextSpan
{
    qsizetype start = 0;
    qsizetype length = 0;
};

struct PlacedGlyph
{
    qint16 code = 0;      // the font cell drawn
    qint16 top = 0;       // pixel y of the cell's top
    qint16 column = 0;    // the cell's x is column x 8
    qint16 windowRow = 0; // the page's window: its top edge is at 8 x (windowRow + 1)
    int page = 0;         // 0-based; <New>, <Wait> and <Close> each end one
    TextSpan source;
};

class PageFlowSink
{
public:
    virtual ~PageFlowSink() = default;
    // A window whose top edge is at 8 x (row + 1); only when the block's size
    // draws windows, and only when every cell of it has a 16-bit position.
    virtual void window(qint16 row, WindowGeometry geometry) = 0;
    // Only glyphs whose pixel x fits 16 bits.
    virtual void glyph(const PlacedGlyph &glyph) = 0;
    // A glyph of a page that <End of Block> drops, where the game would put
    // it had the page been shown; never drawn.
    virtual void droppedGlyph(const PlacedGlyph &) {}
};

// One run over `text` as the game shows it, reported in drawing order.
// `window` is the block's size (nullopt: no window is drawn, pages still
// break). `windowRows`, the rows of the last window drawn, carries over from
// run to run: a page break reads it, and every window drawn sets it.
// Returns false when the run stopped at the first step whose 16-bit
// position would pass 32,767; nothing after it is reported.
//
// A run with the same inputs as this thread's last remembered one replays it
// instead; Remember makes this run the remembered one (the open block's
// preview and checks, not a sweep over many blocks).
enum class PageFlowReuse { LookUp, Remember };
bool runPageFlow(QStringView text, const std::optional<WindowGeometry> &window, qint16 &windowRows,
                 PageFlowSink &sink, PageFlowReuse reuse = PageFlowReuse::LookUp);

// The glyph code of a character: its Windows-1252 byte; "?" for a character
// the code page has no byte for.
qint16 glyphCode(QChar c);
