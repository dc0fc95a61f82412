#include "editor/preview.h"
#include "editor/pageflow.h"
#include "editor/previewpainter.h"
#include "editor/renderer.h"

#include <algorithm>
#include <utility>

namespace {

// Draws what the page flow reports; the flow has checked every position.
class PaintingSink : public PageFlowSink
{
public:
    explicit PaintingSink(PreviewCanvas &canvas)
        : m_painter(canvas)
    {
    }
    void window(qint16 row, WindowGeometry geometry) override { m_painter.frame(geometry.columns, geometry.rows, row); }
    void glyph(const PlacedGlyph &glyph) override { m_painter.glyph(glyph.code, glyph.top, glyph.column); }

private:
    PreviewPainter m_painter;
};

// Records what the flow reports instead of drawing it.
class RecordingSink : public PageFlowSink
{
public:
    explicit RecordingSink(std::vector<PreviewDrawing::Item> &items)
        : m_items(items)
    {
    }
    void window(qint16 row, WindowGeometry geometry) override
    {
        constexpr int Cell = PreviewLayout::CellSize;
        m_items.push_back({QRect(Cell, Cell * (row + 1), Cell * geometry.columns, Cell * geometry.rows),
                           geometry.columns, geometry.rows, row});
    }
    void glyph(const PlacedGlyph &glyph) override
    {
        m_items.push_back({QRect(glyph.column * PreviewLayout::GlyphWidth, glyph.top, PreviewLayout::GlyphWidth,
                                 PreviewLayout::GlyphHeight),
                           glyph.code, -1, 0});
    }

private:
    std::vector<PreviewDrawing::Item> &m_items;
};

void drawItem(PreviewPainter &painter, const PreviewDrawing::Item &item)
{
    if (item.rows < 0)
        painter.glyph(item.code, qint16(item.bounds.top()), qint16(item.bounds.left() / PreviewLayout::GlyphWidth));
    else
        painter.frame(item.code, item.rows, item.row);
}

} // namespace

QRect updatePreview(const QString &text, PreviewCanvas &canvas, PreviewDrawing &drawn)
{
    std::vector<PreviewDrawing::Item> items = std::exchange(drawn.spare, {});
    items.clear();
    // A key changes the count by a few: room for them, so that the vector
    // never grows by copying itself.
    items.reserve(drawn.items.size() + drawn.items.size() / 8 + 16);
    RecordingSink sink(items);
    runPageFlow(text, windowGeometry(canvas.currentWidth, canvas.currentHeight), canvas.windowRows, sink,
                PageFlowReuse::Remember);
    const bool whole = !drawn.valid || canvas.surface.size() != QSize(PreviewCanvas::Width, PreviewCanvas::Height)
        || canvas.surface.format() != QImage::Format_RGB32;
    QRect dirty;
    if (whole) {
        clearPreview(canvas);
        dirty = canvas.surface.rect();
    } else {
        // What the two drawings share at both ends stays; the rest is redrawn.
        const std::vector<PreviewDrawing::Item> &old = drawn.items;
        size_t head = 0;
        while (head < old.size() && head < items.size() && old[head] == items[head])
            ++head;
        size_t tail = 0;
        while (tail < old.size() - head && tail < items.size() - head
               && old[old.size() - 1 - tail] == items[items.size() - 1 - tail])
            ++tail;
        for (size_t i = head; i < old.size() - tail; ++i)
            dirty |= old[i].bounds;
        for (size_t i = head; i < items.size() - tail; ++i)
            dirty |= items[i].bounds;
        for (bool grown = !dirty.isEmpty(); grown;) {
            grown = false;
            for (const PreviewDrawing::Item &item : items) {
                if (item.bounds.intersects(dirty) && !dirty.contains(item.bounds)) {
                    dirty |= item.bounds;
                    grown = true;
                }
            }
        }
        dirty &= canvas.surface.rect();
        if (!dirty.isEmpty()) {
            const QRgb background = PreviewLayout::Background;
            for (int y = dirty.top(); y <= dirty.bottom(); ++y) {
                auto *line = reinterpret_cast<QRgb *>(canvas.surface.scanLine(y));
                std::fill(line + dirty.left(), line + dirty.right() + 1, background);
            }
        }
    }
    if (!dirty.isEmpty()) {
        PreviewPainter painter(canvas);
        for (const PreviewDrawing::Item &item : items) {
            if (whole || item.bounds.intersects(dirty))
                drawItem(painter, item);
        }
    }
    drawn.spare = std::exchange(drawn.items, std::move(items));
    drawn.valid = true;
    return dirty;
}

void showPreview(const QString &text, PreviewCanvas &canvas)
{
    PaintingSink sink(canvas);
    runPageFlow(text, windowGeometry(canvas.currentWidth, canvas.currentHeight), canvas.windowRows, sink);
}
