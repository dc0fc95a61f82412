#include "editor/renderer.h"
#include "editor/logging.h"
#include "editor/previewpainter.h"

#include "store/numbers.h"

#include <QPainter>

#include <cmath>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

constexpr qint16 Cell = PreviewLayout::CellSize;

void ensureSurface(PreviewCanvas &canvas)
{
    if (canvas.surface.size() == QSize(PreviewCanvas::Width, PreviewCanvas::Height)
        && canvas.surface.format() == QImage::Format_RGB32)
        return;
    if (canvas.surface.isNull()) {
        canvas.surface = QImage(PreviewCanvas::Width, PreviewCanvas::Height, QImage::Format_RGB32);
        canvas.surface.fill(PreviewLayout::Background);
        return;
    }
    // A surface handed in at another size or format keeps what it shows.
    QImage surface(PreviewCanvas::Width, PreviewCanvas::Height, QImage::Format_RGB32);
    surface.fill(PreviewLayout::Background);
    PreviewPainter::copyCell(PreviewPainter::asSurfaceFormat(canvas.surface), 0, 0, canvas.surface.width(),
                             canvas.surface.height(), surface, 0, 0);
    canvas.surface = surface;
}

} // namespace

QImage PreviewPainter::asSurfaceFormat(const QImage &image)
{
    if (image.isNull() || image.format() == QImage::Format_RGB32)
        return image;
    return image.convertToFormat(QImage::Format_RGB32);
}

void PreviewPainter::copyCell(const QImage &source, int sx, int sy, int w, int h, QImage &target, int dx, int dy)
{
    // Clip the source rectangle to the source, then the target rectangle to the target.
    QRect from = QRect(sx, sy, w, h).intersected(source.rect());
    if (from.isEmpty())
        return;
    QRect to(dx + (from.x() - sx), dy + (from.y() - sy), from.width(), from.height());
    const QRect clipped = to.intersected(target.rect());
    if (clipped.isEmpty())
        return;
    from.translate(clipped.x() - to.x(), clipped.y() - to.y());
    from.setSize(clipped.size());

    if (source.format() == QImage::Format_RGB32 && target.format() == QImage::Format_RGB32) {
        const qsizetype bytes = qsizetype(clipped.width()) * 4;
        const qsizetype sourceStride = source.bytesPerLine();
        const qsizetype targetStride = target.bytesPerLine();
        const uchar *in = source.constBits() + from.y() * sourceStride + from.x() * 4;
        uchar *out = target.bits() + clipped.y() * targetStride + clipped.x() * 4;
        for (int row = 0; row < clipped.height(); ++row, in += sourceStride, out += targetStride)
            std::memcpy(out, in, size_t(bytes));
        return;
    }
    QPainter painter(&target);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(clipped.topLeft(), source, from);
}

PreviewPainter::PreviewPainter(PreviewCanvas &canvas)
    : m_canvas(canvas)
    , m_font(asSurfaceFormat(canvas.font))
    , m_frame(asSurfaceFormat(canvas.frame))
{
    ensureSurface(canvas);
    // Take the surface's only reference now, so no copy below detaches it.
    m_canvas.surface.bits();
}

bool PreviewPainter::glyph(qint16 code, qint16 row, qint16 column)
{
    const auto sourceX = mul16(PreviewLayout::GlyphWidth, code);
    const auto targetX = mul16(column, PreviewLayout::GlyphWidth);
    if (!sourceX || !targetX)
        return false;
    copyCell(m_font, *sourceX, 0, PreviewLayout::GlyphWidth, PreviewLayout::GlyphHeight, m_canvas.surface, *targetX,
             row);
    return true;
}

bool PreviewPainter::piece(Piece piece, qint16 cellX, qint16 cellY)
{
    const auto x = mul16(Cell, cellX);
    const auto y = mul16(Cell, cellY);
    if (!x || !y)
        return false;
    copyCell(m_frame, Cell * int(piece), 0, Cell, Cell, m_canvas.surface, *x, *y);
    return true;
}

bool PreviewPainter::frame(qint16 w, qint16 n, qint16 row)
{
    // The window is drawn whole or not at all: its far corners must have
    // 16-bit pixel positions before the first piece is copied.
    if (!windowFits16(w, n, row))
        return false;

    const auto drawCell = [&](int x, int y) {
        const auto cellX = qint16(x);
        const auto cellY = qint16(row + y);
        // Tested in this order; each test that holds draws (so a window one
        // column wide shows the later piece of a corner).
        if (x == 1 && y == 1)
            piece(Piece::TopLeft, cellX, cellY);
        if (x == 1 && y == n)
            piece(Piece::BottomLeft, cellX, cellY);
        if (x == w && y == 1)
            piece(Piece::TopRight, cellX, cellY);
        if (x == w && y == n)
            piece(Piece::BottomRight, cellX, cellY);
        if (y != 1 && y != n) {
            if (x == 1)
                piece(Piece::LeftEdge, cellX, cellY);
            else if (x == w)
                piece(Piece::RightEdge, cellX, cellY);
        }
        if (x != 1 && x != w) {
            if (y == 1)
                piece(Piece::TopEdge, cellX, cellY);
            else if (y == n)
                piece(Piece::BottomEdge, cellX, cellY);
        }
    };
    for (int x = 1; x <= w; ++x) {
        if (x == 1 || x == w) {
            for (int y = 1; y <= n; ++y)
                drawCell(x, y);
        } else if (n >= 1) {
            // Inner columns only have their top and bottom cells drawn.
            drawCell(x, 1);
            if (n > 1)
                drawCell(x, n);
        }
    }
    return true;
}

bool PreviewPainter::window(qint16 row)
{
    const auto geometry = windowGeometry(m_canvas.currentWidth, m_canvas.currentHeight);
    if (!geometry)
        return true;
    if (!frame(geometry->columns, geometry->rows, row))
        return false;
    m_canvas.windowRows = geometry->rows;
    return true;
}

bool windowFits16(qint16 w, qint16 n, qint16 row)
{
    const auto top = add16(row, 1);
    const auto bottom = add16(row, n);
    return top && bottom && mul16(Cell, *top) && mul16(Cell, *bottom) && mul16(Cell, std::max<qint16>(w, 1));
}

std::optional<WindowGeometry> windowGeometry(const QString &width, const QString &height)
{
    const double h = leadingNumber(height);
    if (!(h >= 1 && h <= 200) || h != std::floor(h))
        return std::nullopt;
    // Columns past 4095 would put a frame cell beyond pixel 32,767; such a
    // width is treated like a text that is not a number: no window.
    const auto w = toInt16(leadingNumber(width) / 2 + 2);
    if (!w || !mul16(Cell, *w))
        return std::nullopt;
    return WindowGeometry{*w, qint16(2 * h + 1)};
}

void clearPreview(PreviewCanvas &canvas)
{
    if (canvas.surface.size() != QSize(PreviewCanvas::Width, PreviewCanvas::Height)
        || canvas.surface.format() != QImage::Format_RGB32)
        canvas.surface = QImage(PreviewCanvas::Width, PreviewCanvas::Height, QImage::Format_RGB32);
    canvas.surface.fill(PreviewLayout::Background);
}

QImage defaultFrameStrip()
{
    QImage strip(u":/tallowpen/frame.png"_s);
    if (strip.isNull()) {
        qCWarning(lcEditor) << "The built-in frame strip is missing; windows are drawn without frames";
        return strip;
    }
    return PreviewPainter::asSurfaceFormat(strip);
}

int previewScrollMaximum(int containerInnerHeight)
{
    const double maximum =
        roundHalfEven(double(PreviewCanvas::Height - containerInnerHeight) / PreviewLayout::ScrollStep + 1);
    return maximum > 0 ? int(maximum) : 0;
}
