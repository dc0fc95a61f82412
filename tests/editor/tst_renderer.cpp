#include "editor/renderer.h"
#include "tests/editor/testimages.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace TestImages;

class tst_Renderer : public QObject
{
    Q_OBJECT

private slots:
    void geometry_data();
    void geometry();
    void framePieces_data();
    void framePieces();
    void frameLeavesInsideAlone();
    void pieceKeys_data();
    void pieceKeys();
    void glyphRectangles_data();
    void glyphRectangles();
    void narrowFont_data();
    void narrowFont();
    void sixteenBitLimits();
    void fontInAnotherFormat();
    void scrollMaximum_data();
    void scrollMaximum();
};

void tst_Renderer::geometry_data()
{
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<int>("columns"); // 0: no window
    QTest::addColumn<int>("rows");
    QTest::newRow("height 1") << u"56"_s << u"1"_s << 30 << 3;
    QTest::newRow("height 200") << u"56"_s << u"200"_s << 30 << 401;
    QTest::newRow("height 201") << u"56"_s << u"201"_s << 0 << 0;
    QTest::newRow("height 0") << u"56"_s << u"0"_s << 0 << 0;
    QTest::newRow("height 2.5") << u"56"_s << u"2.5"_s << 0 << 0;
    QTest::newRow("negative height") << u"56"_s << u"-3"_s << 0 << 0;
    QTest::newRow("height not a number") << u"56"_s << u"tall"_s << 0 << 0;
    QTest::newRow("height with trailing text") << u"56"_s << u"4 rows"_s << 30 << 9;
    QTest::newRow("width 55 rounds up to even") << u"55"_s << u"1"_s << 30 << 3;
    QTest::newRow("width 57 rounds down to even") << u"57"_s << u"1"_s << 30 << 3;
    QTest::newRow("width 59") << u"59"_s << u"1"_s << 32 << 3;
    QTest::newRow("width 0") << u"0"_s << u"1"_s << 2 << 3;
    QTest::newRow("width not a number") << u"wide"_s << u"1"_s << 2 << 3;
    QTest::newRow("widest drawable") << u"8186"_s << u"1"_s << 4095 << 3;
    QTest::newRow("past 16-bit pixels") << u"8188"_s << u"1"_s << 0 << 0;
    QTest::newRow("width beyond 16 bits") << u"99999"_s << u"1"_s << 0 << 0;
}

void tst_Renderer::geometry()
{
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(int, columns);
    QFETCH(int, rows);
    const auto geometry = windowGeometry(width, height);
    QCOMPARE(geometry.has_value(), columns != 0);
    if (geometry) {
        QCOMPARE(geometry->columns, columns);
        QCOMPARE(geometry->rows, rows);
    }
}

// Letters: A top-left, B bottom-left, C top-right, D bottom-right (strip
// slots 0 to 3, whatever their keys say), E left edge, F top edge, G right
// edge, H bottom edge.
void tst_Renderer::framePieces_data()
{
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("map");
    QTest::newRow("width 0: corners and sides only") << u"0"_s << u"1"_s << 0
                                                     << QStringList{u"...."_s, u".AC."_s, u".EG."_s, u".BD."_s, u"...."_s};
    QTest::newRow("smallest with edges") << u"2"_s << u"1"_s << 0
                                         << QStringList{u"....."_s, u".AFC."_s, u".E.G."_s, u".BHD."_s, u"....."_s};
    QTest::newRow("odd width, lower row") << u"3"_s << u"2"_s << 2
                                          << QStringList{u"......"_s, u"......"_s, u"......"_s, u".AFFC."_s,
                                                         u".E..G."_s, u".E..G."_s, u".E..G."_s, u".BHHD."_s,
                                                         u"......"_s};
    QTest::newRow("one column shows the later corner") << u"-2"_s << u"2"_s << 0
                                                       << QStringList{u"..."_s, u".C."_s, u".E."_s, u".E."_s,
                                                                      u".E."_s, u".D."_s, u"..."_s};
    QTest::newRow("no columns") << u"-6"_s << u"1"_s << 0 << QStringList{u"..."_s, u"..."_s, u"..."_s, u"..."_s};
}

void tst_Renderer::framePieces()
{
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(int, row);
    QFETCH(QStringList, map);
    PreviewCanvas c = canvas(width, height);
    QVERIFY(drawWindow(qint16(row), c));
    QCOMPARE(pieceMap(c.surface, int(map.first().size()), int(map.size())), map);
}

void tst_Renderer::frameLeavesInsideAlone()
{
    // A window at row 6 with n = 5: top-left piece at (8, 56), bottom-right at (8 w, 88).
    PreviewCanvas c = canvas(u"56"_s, u"2"_s);
    const QRgb marker = qRgb(1, 2, 3);
    c.surface.fill(marker);
    c.windowRows = 99;
    QVERIFY(drawWindow(6, c));
    QCOMPARE(c.windowRows, 5);
    QCOMPARE(c.surface.pixel(8, 56), pieceColour(0));
    QCOMPARE(c.surface.pixel(7, 56), marker);
    QCOMPARE(c.surface.pixel(8, 55), marker);
    QCOMPARE(c.surface.pixel(8 * 30 + 7, 88 + 7), pieceColour(3));
    QCOMPARE(c.surface.pixel(8 * 31, 88), marker);
    QCOMPARE(c.surface.pixel(8 * 30, 96), marker);
    // Every inner cell keeps what the surface held.
    for (int x = 16; x < 8 * 30; x += 3) {
        for (int y = 64; y < 88; y += 3)
            QCOMPARE(c.surface.pixel(x, y), marker);
    }
}

void tst_Renderer::pieceKeys_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("slot"); // -1: not a piece
    const char *keys[] = {"BarSupIzq", "BarSupDer", "BarInfIzq", "BarInfDer",
                          "BarVerIzq", "BarHorAr", "BarVerDer", "BarHorAb"};
    for (int slot = 0; slot < 8; ++slot)
        QTest::newRow(keys[slot]) << QString::fromLatin1(keys[slot]) << slot;
    QTest::newRow("wrong case") << u"barsupizq"_s << -1;
    QTest::newRow("empty") << QString() << -1;
}

void tst_Renderer::pieceKeys()
{
    QFETCH(QString, key);
    QFETCH(int, slot);
    QCOMPARE(pieceStripX(key), slot < 0 ? std::nullopt : std::optional<int>(slot * 8));
    PreviewCanvas c = canvas();
    const QImage before = c.surface;
    QVERIFY(showPiece(key, 3, 5, c));
    if (slot < 0) {
        QCOMPARE(c.surface, before);
    } else {
        QCOMPARE(pieceAt(c.surface, 3, 5), char('A' + slot));
        QCOMPARE(pieceAt(c.surface, 4, 5), '.');
        QCOMPARE(pieceAt(c.surface, 3, 6), '.');
    }
}

void tst_Renderer::glyphRectangles_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::newRow("A from x 520 to (16, 14)") << 65 << 14 << 2;
    QTest::newRow("code 0") << 0 << 0 << 0;
    QTest::newRow("code 255") << 255 << 100 << 40;
    QTest::newRow("odd line top") << 97 << 63 << 7;
}

void tst_Renderer::glyphRectangles()
{
    QFETCH(int, code);
    QFETCH(int, row);
    QFETCH(int, column);
    PreviewCanvas c = canvas();
    QVERIFY(drawGlyph(qint16(code), qint16(row), qint16(column), 8, 11, c.font, c.surface));
    const QRect cell(column * 8, row, 8, 11);
    for (int x = cell.left() - 1; x <= cell.right() + 1; ++x) {
        for (int y = cell.top() - 1; y <= cell.bottom() + 1; ++y) {
            if (!c.surface.rect().contains(x, y))
                continue;
            QCOMPARE(c.surface.pixel(x, y), cell.contains(x, y) ? glyphColour(code) : PreviewLayout::Background);
        }
    }
}

void tst_Renderer::narrowFont_data()
{
    QTest::addColumn<int>("fontWidth");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("drawnColumns"); // of the glyph's 8
    QTest::newRow("inside") << 604 << 65 << 8;
    QTest::newRow("cut by the edge") << 604 << 75 << 4;
    QTest::newRow("beyond the edge") << 604 << 80 << 0;
    QTest::newRow("no font at all") << 0 << 65 << 0;
}

void tst_Renderer::narrowFont()
{
    QFETCH(int, fontWidth);
    QFETCH(int, code);
    QFETCH(int, drawnColumns);
    PreviewCanvas c = canvas();
    const QImage font = fontWidth > 0 ? codeFont(fontWidth) : QImage();
    QVERIFY(drawGlyph(qint16(code), 20, 3, 8, 11, font, c.surface));
    for (int dx = 0; dx < 8; ++dx)
        QCOMPARE(c.surface.pixel(24 + dx, 25), dx < drawnColumns ? glyphColour(code) : PreviewLayout::Background);
}

void tst_Renderer::sixteenBitLimits()
{
    PreviewCanvas c = canvas();
    const QImage blank = c.surface;
    // x = 4095 x 8 = 32760 still fits (and lies off the surface); 4096 x 8 does not.
    QVERIFY(drawGlyph(65, 14, 4095, 8, 11, c.font, c.surface));
    QVERIFY(!drawGlyph(65, 14, 4096, 8, 11, c.font, c.surface));
    QVERIFY(!drawGlyph(65, 14, -4097, 8, 11, c.font, c.surface));
    QVERIFY(!showPiece(u"BarSupIzq", 1, 4096, c));
    QVERIFY(!showPiece(u"BarSupIzq", 4096, 1, c));
    // A window whose bottom row would pass pixel 32,767 is not drawn at all.
    c.currentHeight = u"200"_s;
    QVERIFY(drawWindow(3694, c));
    QVERIFY(!drawWindow(3695, c));
    QVERIFY(!drawWindow(32767, c));
    QVERIFY(!drawFrame(30, 3, 4094, c));
    QVERIFY(!drawFrame(4096, 3, 0, c));
    QCOMPARE(c.surface, blank);
}

void tst_Renderer::fontInAnotherFormat()
{
    PreviewCanvas c = canvas();
    c.font = codeFont().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QVERIFY(drawGlyph(66, 30, 5, 8, 11, c.font, c.surface));
    QCOMPARE(glyphAt(c.surface, 40, 30), 66);
}

void tst_Renderer::scrollMaximum_data()
{
    QTest::addColumn<int>("innerHeight");
    QTest::addColumn<int>("maximum");
    QTest::newRow("as laid out") << 569 << 51;   // 49.875 + 1
    QTest::newRow("half to even") << 572 << 50;  // 49.5 + 1
    QTest::newRow("whole surface shown") << 968 << 1;
    QTest::newRow("taller than the surface") << 1200 << 0;
}

void tst_Renderer::scrollMaximum()
{
    QFETCH(int, innerHeight);
    QFETCH(int, maximum);
    QCOMPARE(previewScrollMaximum(innerHeight), maximum);
}

QTEST_APPLESS_MAIN(tst_Renderer)
#include "tst_renderer.moc"
