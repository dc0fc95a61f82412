#include "editor/preview.h"
#include "editor/pageflow.h"
#include "editor/previewpainter.h"
#include "editor/renderer.h"

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

} // namespace

void showPreview(const QString &text, PreviewCanvas &canvas)
{
    PaintingSink sink(canvas);
    runPageFlow(text, windowGeometry(canvas.currentWidth, canvas.currentHeight), canvas.windowRows, sink);
}
