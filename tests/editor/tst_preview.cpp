#include "editor/pageflow.h"
#include "editor/preview.h"
#include "editor/renderer.h"
#include "tests/support/tablefile.h"
#include "tests/support/testimages.h"

#include <QDir>
#include <QPainter>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace TestImages;

// showPreview read back through the code font and the piece strip: which
// glyph or frame piece landed where.
class tst_Preview : public QObject
{
    Q_OBJECT

private slots:
    void geometry_data();
    void geometry();
    void frames_data();
    void frames();
    void text_data();
    void text();
    void sixteenBitCut_data();
    void sixteenBitCut();
    void paintsOnlyOverWhatItDraws();
    void unsizableHeightKeepsTheLastWindowRows();
    void fontOfAnyWidthAndFormat();
    void knownRenders_data();
    void knownRenders();
    void redrawOfAnEditMatchesTheWhole_data();
    void redrawOfAnEditMatchesTheWhole();
    void rememberedRunMatchesAFreshOne_data();
    void rememberedRunMatchesAFreshOne();

private:
    // Four pages, ending at 28, 46 and 93.
    static QString fourPages()
    {
        return u"First page, one.\r\nTwo<New>\r\nSecond page<New>\r\nThird page, long line of text\r\n"
                         "and more<Wait>\r\nLast."_s;
    }
    static PreviewCanvas render(const QString &text, const QString &width = u"56"_s, const QString &height = u"2"_s)
    {
        PreviewCanvas c = canvas(width, height);
        showPreview(text, c);
        return c;
    }
};

void tst_Preview::geometry_data()
{
    TableFile::addRows(QFINDTESTDATA("data/geometry.txt"), {"width", "height", "window"});
}

void tst_Preview::geometry()
{
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QString, window);
    const auto geometry = windowGeometry(width, height);
    QCOMPARE(geometry ? u"%1 %2"_s.arg(geometry->columns).arg(geometry->rows) : u"none"_s, window);
}

void tst_Preview::frames_data()
{
    TableFile::addRows(QFINDTESTDATA("data/frames.txt"), {"text", "width", "height", "cells"});
}

void tst_Preview::frames()
{
    QFETCH(QString, text);
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QString, cells);
    const QStringList map = cells.split(u'/');
    QCOMPARE(pieceMap(render(text, width, height).surface, int(map.first().size()), int(map.size())), map);
}

void tst_Preview::text_data()
{
    TableFile::addRows(QFINDTESTDATA("data/text.txt"), {"text", "column", "row", "line"});
}

void tst_Preview::text()
{
    QFETCH(QString, text);
    QFETCH(QString, column);
    QFETCH(QString, row);
    QFETCH(QString, line);
    QCOMPARE(lineAt(render(text).surface, column.toInt(), row.toInt()), line);
}

void tst_Preview::sixteenBitCut_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("tailDrawn");
    // The tail "Z" stands at (16, 30) after <Close> and two line breaks,
    // unless the run ended at an overflow first.
    QTest::newRow("line up to column 4095") << u"B"_s + QString(4093, u'a') + u"<Close>\r\n\r\nZ"_s << true;
    QTest::newRow("glyph at column 4096") << u"B"_s + QString(4094, u'a') + u"<Close>\r\n\r\nZ"_s << false;
    const QString lines = u"B"_s + QString(2183, u'\r').replace(u"\r"_s, u"\r\n"_s);
    QTest::newRow("last line top that fits") << lines + u"Y<Close>\r\n\r\nZ"_s << true;
    QTest::newRow("line top past 32767") << lines + u"\r\nY<Close>\r\n\r\nZ"_s << false;
}

void tst_Preview::sixteenBitCut()
{
    QFETCH(QString, text);
    QFETCH(bool, tailDrawn);
    const PreviewCanvas c = render(text);
    QCOMPARE(lineAt(c.surface, 2, 30), tailDrawn ? u"Z"_s : QString());
    QCOMPARE(glyphAt(c.surface, 16, 14), int('B')); // what came before the cut stays
}

void tst_Preview::paintsOnlyOverWhatItDraws()
{
    // The callers clear: a run leaves the inside of a window and everything
    // outside what it draws as the surface held it.
    PreviewCanvas c = canvas(u"56"_s, u"2"_s);
    const QRgb marker = qRgb(9, 9, 9);
    c.surface.fill(marker);
    c.windowRows = 99;
    showPreview(u"A"_s, c);
    QCOMPARE(c.windowRows, 5);
    QCOMPARE(glyphAt(c.surface, 16, 14), int('A'));
    QCOMPARE(c.surface.pixel(8, 8), pieceColour(0));
    QCOMPARE(c.surface.pixel(8 * 30 + 7, 8 * 5 + 7), pieceColour(3));
    for (const QPoint &p : {QPoint(7, 8), QPoint(8, 7), QPoint(8 * 31, 8), QPoint(8 * 30, 48), QPoint(100, 30)})
        QCOMPARE(c.surface.pixel(p), marker);

    PreviewCanvas fresh; // no surface, font or frame yet: nothing to crash on
    fresh.currentHeight = u"1"_s;
    showPreview(u"A"_s, fresh);
    QCOMPARE(fresh.surface.size(), QSize(PreviewCanvas::Width, PreviewCanvas::Height));
    QCOMPARE(fresh.windowRows, 3);
}

void tst_Preview::unsizableHeightKeepsTheLastWindowRows()
{
    PreviewCanvas c = canvas(u"56"_s, u"2"_s);
    showPreview(u"x"_s, c);
    c.currentHeight = u"0"_s;
    clearPreview(c);
    showPreview(u"a<New>\r\nb"_s, c);
    QCOMPARE(c.windowRows, 5);
    QCOMPARE(lineAt(c.surface, 2, 8 * 6 + 15), u"b"_s);
}

void tst_Preview::fontOfAnyWidthAndFormat()
{
    // 604 pixels: "A" (x 520) whole, "K" (x 600) cut at the edge, "P" beyond it.
    PreviewCanvas c = canvas();
    c.font = codeFont(604).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    showPreview(u"AKP"_s, c);
    QCOMPARE(glyphAt(c.surface, 16, 14), int('A'));
    QString row;
    for (int x = 24; x < 40; ++x)
        row += c.surface.pixel(x, 20) == glyphColour('K') ? u'K' : u'.';
    QCOMPARE(row, u"KKKK............"_s);
}

void tst_Preview::knownRenders_data()
{
    QTest::addColumn<QString>("folder");
    const QString root = QFINDTESTDATA("data/render");
    QVERIFY(!root.isEmpty());
    for (const QString &name : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        QTest::newRow(qPrintable(name)) << root + u'/' + name;
}

// Pictures laid out by hand (data/render/make_golden.py) with the tiny font
// and frame of that folder.
void tst_Preview::knownRenders()
{
    QFETCH(QString, folder);
    QFile text(folder + u"/text.txt"_s);
    QFile size(folder + u"/size.txt"_s);
    QVERIFY(text.open(QIODevice::ReadOnly) && size.open(QIODevice::ReadOnly));
    const QStringList sizes = QString::fromLatin1(size.readAll()).simplified().split(u' ');
    PreviewCanvas c;
    QVERIFY(c.font.load(folder + u"/../tinyfont.xpm"_s) && c.frame.load(folder + u"/../frame.xpm"_s));
    c.currentWidth = sizes.value(0);
    c.currentHeight = sizes.value(1);
    showPreview(QString::fromUtf8(text.readAll()), c);
    // The expected pixels from the top-left corner, and nothing outside them.
    const QImage expected(folder + u"/expected.xpm"_s);
    QImage whole(c.surface.size(), QImage::Format_RGB32);
    whole.fill(PreviewLayout::Background);
    QPainter(&whole).drawImage(0, 0, expected);
    QVERIFY(c.surface == whole);
}

void tst_Preview::redrawOfAnEditMatchesTheWhole_data()
{
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("removed");
    QTest::addColumn<QString>("inserted");
    const QString text = fourPages();
    QTest::newRow("a letter at the start") << u"56"_s << u"2"_s << 0 << 0 << u"X"_s;
    QTest::newRow("a letter out in the middle") << u"56"_s << u"2"_s << 50 << 1 << QString();
    QTest::newRow("a letter at the end") << u"56"_s << u"2"_s << int(text.size()) << 0 << u"!"_s;
    QTest::newRow("a page break removed") << u"56"_s << u"2"_s << 39 << 5 << QString();
    QTest::newRow("a page break added") << u"56"_s << u"2"_s << 19 << 0 << u"<New>\r\n"_s;
    QTest::newRow("across a page boundary") << u"56"_s << u"2"_s << 20 << 15 << u"ab\r\ncd"_s;
    QTest::newRow("a line that overflows its page") << u"56"_s << u"1"_s << 16 << 2 << u" "_s;
    QTest::newRow("no windows drawn") << u"56"_s << u"0"_s << 3 << 0 << u"<New>\r\n"_s;
    QTest::newRow("everything removed") << u"56"_s << u"2"_s << 0 << int(text.size()) << QString();
    QTest::newRow("nothing changed") << u"56"_s << u"2"_s << 5 << 1 << text.mid(5, 1);
}

// A key redraws only where the drawing changed; the picture after it must be
// the one a whole redraw gives, and the rectangle it reports all that changed.
void tst_Preview::redrawOfAnEditMatchesTheWhole()
{
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(int, position);
    QFETCH(int, removed);
    QFETCH(QString, inserted);
    const QString before = fourPages();
    const QString after = QString(before).replace(position, removed, inserted);
    PreviewCanvas kept = canvas(width, height);
    PreviewDrawing drawn;
    updatePreview(before, kept, drawn);
    PreviewCanvas whole = kept;
    const QImage shown = kept.surface.copy();

    const QRect changed = updatePreview(after, kept, drawn);
    clearPreview(whole);
    showPreview(after, whole);
    QCOMPARE(kept.windowRows, whole.windowRows);
    QVERIFY(kept.surface == whole.surface);
    QImage repainted = shown;
    QPainter painter(&repainted);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(changed.topLeft(), whole.surface, changed);
    painter.end();
    QVERIFY(repainted == whole.surface);
    QCOMPARE(changed.isEmpty(), after == before);

    // The third drawing fills the first one's buffer: none of it may stay.
    updatePreview(before, kept, drawn);
    PreviewCanvas fresh = canvas(width, height);
    PreviewDrawing freshDrawn;
    updatePreview(before, fresh, freshDrawn);
    QVERIFY(drawn.items == freshDrawn.items);
    QVERIFY(kept.surface == fresh.surface);
}


void tst_Preview::rememberedRunMatchesAFreshOne_data()
{
    // The remembered run: `first` at `firstHeight` with no rows carried in.
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("firstHeight");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("height");
    QTest::addColumn<int>("rows");
    const QString text = fourPages();
    const QString dropped = u"a<New>\r\nb<End of Block>c"_s;
    const QString cut = u"B"_s + QString(4094, u'a') + u"<Close>Z"_s;
    QTest::newRow("the same run") << text << u"2"_s << text << u"2"_s << 0;
    QTest::newRow("other rows carried in") << text << u"2"_s << text << u"2"_s << 99;
    QTest::newRow("no window, other rows carried in") << text << u"0"_s << text << u"0"_s << 9;
    QTest::newRow("another window") << text << u"2"_s << text << u"1"_s << 0;
    QTest::newRow("another text") << text << u"2"_s << QString(text).replace(3, 1, u"<New>"_s) << u"2"_s << 0;
    QTest::newRow("a dropped page") << dropped << u"2"_s << dropped << u"2"_s << 0;
    QTest::newRow("stopped at 16 bits") << cut << u"2"_s << cut << u"2"_s << 0;
}

// What a run replays from the remembered one is what running it afresh gives.
void tst_Preview::rememberedRunMatchesAFreshOne()
{
    QFETCH(QString, first);
    QFETCH(QString, firstHeight);
    QFETCH(QString, text);
    QFETCH(QString, height);
    QFETCH(int, rows);
    struct Sink : PageFlowSink
    {
        void window(qint16 row, WindowGeometry g) override { seen << u"w%1 %2 %3"_s.arg(row).arg(g.columns).arg(g.rows); }
        void glyph(const PlacedGlyph &g) override { add(u"g"_s, g); }
        void droppedGlyph(const PlacedGlyph &g) override { add(u"d"_s, g); }
        void add(const QString &kind, const PlacedGlyph &g)
        {
            seen << kind + u"%1 %2 %3 %4 %5 %6+%7"_s.arg(g.code).arg(g.top).arg(g.column).arg(g.windowRow).arg(g.page)
                               .arg(g.source.start).arg(g.source.length);
        }
        QStringList seen;
    };
    const auto run = [](const QString &t, const QString &h, int carried, PageFlowReuse reuse) {
        Sink sink;
        qint16 windowRows = qint16(carried);
        const bool whole = runPageFlow(t, windowGeometry(u"56"_s, h), windowRows, sink, reuse);
        return sink.seen << QString::number(windowRows) << QString::number(whole);
    };
    run(first, firstHeight, 0, PageFlowReuse::Remember);
    const QStringList afterRemembered = run(text, height, rows, PageFlowReuse::LookUp);
    run(u"-"_s, u"2"_s, 0, PageFlowReuse::Remember); // forgets the first
    QCOMPARE(afterRemembered, run(text, height, rows, PageFlowReuse::LookUp));
}

QTEST_APPLESS_MAIN(tst_Preview)
#include "tst_preview.moc"
