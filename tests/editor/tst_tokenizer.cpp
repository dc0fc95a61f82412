#include "editor/preview.h"
#include "tests/editor/testimages.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace TestImages;

// showPreview read back through the code font: which glyph landed where.
class tst_Tokenizer : public QObject
{
    Q_OBJECT

private slots:
    void tagTable_data();
    void tagTable();
    void glyphCodes_data();
    void glyphCodes();
    void placement_data();
    void placement();
    void pageTagThenTextOverlapsBorder();
    void endOfBlockDropsThePage();
    void windowsFollowEachOther();
    void windowRowsCarryOverAnUnsizableHeight();
    void sixteenBitCut_data();
    void sixteenBitCut();
    void drawsOnlyOntoWhatIsThere();
    void knownRenders_data();
    void knownRenders();

private:
    static PreviewCanvas render(const QString &text, const QString &height = u"2"_s);
};

PreviewCanvas tst_Tokenizer::render(const QString &text, const QString &height)
{
    PreviewCanvas c = canvas(u"56"_s, height);
    showPreview(text, c);
    return c;
}

void tst_Tokenizer::tagTable_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("shown");

    // Tags that show their own name or symbol.
    const char *selfNamed[] = {"Ovessin", "Tolm", "Wendo", "Quarrowell", "C", "Pim-Pim", "Morel", "Halbrect", "D",
                               "Isla", "Siverine", "Gorvan", "Tessark", "L", "R", "Kolvasty", "Dace", "S",
                               "Ulmorath", "Varek", "T", "U", "Pellan", "Ardmoss", "X", "Brassvale", "Perso1",
                               "Perso2", "Perso3", "!", "&", "*", ".", "/", ":", "?", "]", "~", "=", "1", "2",
                               "3", "4", "5"};
    for (const char *shown : selfNamed) {
        const QString name = QString::fromLatin1(shown);
        QTest::addRow("<%s>", shown) << u'<' + name + u'>' << name;
    }
    QTest::newRow("<Kolvasty2>") << u"<Kolvasty2>"_s << u"Kolvasty"_s;
    QTest::newRow("<Varek-2>") << u"<Varek-2>"_s << u"Varek"_s;
    QTest::newRow("<Ardmoss-2>") << u"<Ardmoss-2>"_s << u"Ardmoss"_s;
    QTest::newRow("<...> is three glyphs") << u"<...>"_s << u"..."_s;
    QTest::newRow("<`> keeps the grave accent") << u"<`>"_s << u"`"_s;
    QTest::newRow("<degree> shows the ordinal") << u"<\u00B0>"_s << u"\u00BA"_s;

    QTest::newRow("unknown chunk") << u"<UNKNOWN CHUNK 0x1F>"_s << u"#"_s;
    QTest::newRow("bare unknown") << u"<UNKNOWN>"_s << u"#"_s;
    QTest::newRow("extra") << u"<Extra>"_s << u"#"_s;
    QTest::newRow("extra with more") << u"<Extra_12>"_s << u"#"_s;
    QTest::newRow("unknown in lower case") << u"<unknown>"_s << QString();
    QTest::newRow("delay with number") << u"<Delay 30>"_s << QString();
    QTest::newRow("space with number") << u"<Space 4>"_s << QString();
    QTest::newRow("opcode with numbers") << u"<Opcode 12 7>"_s << QString();
    QTest::newRow("inserted delay") << u"<Delay >"_s << QString();
    QTest::newRow("end") << u"<End>"_s << QString();
    QTest::newRow("speaker in wrong case") << u"<tolm>"_s << QString();
    QTest::newRow("speaker with a blank") << u"<Tolm >"_s << QString();
    QTest::newRow("digit out of range") << u"<6>"_s << QString();
    QTest::newRow("empty tag") << u"<>"_s << QString();
    QTest::newRow("tag opening inside a tag") << u"<<Tolm>"_s << QString();
    QTest::newRow("unterminated unknown") << u"<UNKNOWN"_s << u"#"_s;
    QTest::newRow("unterminated extra") << u"<Extra"_s << u"#"_s;
    QTest::newRow("unterminated speaker") << u"<Tolm"_s << QString();
    QTest::newRow("unterminated page tag") << u"<New"_s << QString();
    QTest::newRow("lone opening bracket") << u"<"_s << QString();
}

void tst_Tokenizer::tagTable()
{
    QFETCH(QString, tag);
    QFETCH(QString, shown);
    // Text around the tag shows that it adds exactly `shown` in place.
    const bool terminated = tag.endsWith(u'>');
    const PreviewCanvas c = render(u"a"_s + tag + (terminated ? u"b"_s : QString()));
    QCOMPARE(lineAt(c.surface, 2, 14), u"a"_s + shown + (terminated ? u"b"_s : QString()));
    // No tag of the table breaks a page: one window only.
    QCOMPARE(pieceAt(c.surface, 1, 7), '.');
}

void tst_Tokenizer::glyphCodes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("codes");
    QTest::newRow("typed grave accent shows an apostrophe") << u"it`s"_s << QList<int>{105, 116, 39, 115};
    QTest::newRow("apostrophe") << u"'"_s << QList<int>{39};
    QTest::newRow("Latin-1 letter") << u"\u00E9"_s << QList<int>{0xE9};
    QTest::newRow("euro sign") << u"\u20AC"_s << QList<int>{0x80};
    QTest::newRow("em dash") << u"\u2014"_s << QList<int>{0x97};
    QTest::newRow("code page hole") << u"\u0081"_s << QList<int>{0x81};
    QTest::newRow("no code: Greek") << u"\u03A9x"_s << QList<int>{'?', 'x'};
    QTest::newRow("no code: pair of surrogates") << u"\U0001F600x"_s << QList<int>{'?', 'x'};
    QTest::newRow("a lone line feed is a glyph") << u"A\nB"_s << QList<int>{65, 10, 66};
    QTest::newRow("tab") << u"\t"_s << QList<int>{9};
}

void tst_Tokenizer::glyphCodes()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, codes);
    const PreviewCanvas c = render(text);
    const QString line = lineAt(c.surface, 2, 14);
    QList<int> drawn;
    for (QChar ch : line)
        drawn << ch.unicode();
    QCOMPARE(drawn, codes);
}

void tst_Tokenizer::placement_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("height");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("line"); // what stands from (column x 8, row) on
    QTest::newRow("Hello") << u"Hello"_s << u"2"_s << 2 << 14 << u"Hello"_s;
    QTest::newRow("second line") << u"A\r\nB"_s << u"2"_s << 2 << 29 << u"B"_s;
    QTest::newRow("empty line between") << u"A\r\n\r\nB"_s << u"2"_s << 2 << 44 << u"B"_s;
    QTest::newRow("carriage return eats the next character") << u"A\rBC"_s << u"2"_s << 2 << 29 << u"C"_s;
    QTest::newRow("Wait then line break") << u"Hi<Wait>\r\nYo"_s << u"2"_s << 2 << 63 << u"Yo"_s;
    QTest::newRow("first page stays in the first window") << u"Hi<Wait>\r\nYo"_s << u"2"_s << 2 << 14 << u"Hi"_s;
    QTest::newRow("New after a two-line page") << u"A\r\nB<New>\r\nC"_s << u"2"_s << 2 << 63 << u"C"_s;
    QTest::newRow("text right after a page tag") << u"Hi<New>Yo"_s << u"2"_s << 2 << 48 << u"Yo"_s;
    QTest::newRow("Close continues at the top row") << u"Hi<Close>Yo"_s << u"2"_s << 4 << 0 << u"Yo"_s;
    QTest::newRow("Close keeps the page") << u"Hi<Close>Yo"_s << u"2"_s << 2 << 14 << u"Hi"_s;
    QTest::newRow("Close then a line break") << u"Hi<Close>\r\nYo"_s << u"2"_s << 2 << 15 << u"Yo"_s;
    QTest::newRow("Close in a later window") << u"A<New>\r\nB<Close>C"_s << u"2"_s << 3 << 48 << u"C"_s;
    QTest::newRow("tag spanning a line break") << u"a<b\r\nc>d"_s << u"2"_s << 2 << 14 << u"ad"_s;
    QTest::newRow("long line runs past the window") << QString(40, u'w') << u"2"_s << 2 << 14 << QString(40, u'w');
    QTest::newRow("no window for height 0") << u"a<New>\r\nb"_s << u"0"_s << 2 << 23 << u"b"_s;
}

void tst_Tokenizer::placement()
{
    QFETCH(QString, text);
    QFETCH(QString, height);
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(QString, line);
    const PreviewCanvas c = render(text, height);
    QCOMPARE(lineAt(c.surface, column, row), line);
}

void tst_Tokenizer::pageTagThenTextOverlapsBorder()
{
    // Hi<Wait> CR LF Yo with height 2: the second window at row 6, top edge y 56.
    PreviewCanvas c = render(u"Hi<Wait>\r\nYo"_s);
    QCOMPARE(pieceMap(c.surface, 2, 13),
             (QStringList{u".."_s, u".A"_s, u".E"_s, u".E"_s, u".E"_s, u".B"_s, u".."_s, u".A"_s, u".E"_s, u".E"_s,
                          u".E"_s, u".B"_s, u".."_s}));
    for (int cellY : {1, 7})
        QCOMPARE(pieceAt(c.surface, 5, cellY), 'F');
    for (int cellY : {5, 11})
        QCOMPARE(pieceAt(c.surface, 5, cellY), 'H');
    QCOMPARE(c.windowRows, 5);

    // Without the line break the text sits in the empty row above the window,
    // its lower three pixel rows over the top border.
    c = render(u"Hi<New>Yo"_s);
    QCOMPARE(glyphAt(c.surface, 16, 48), int('Y'));
    QCOMPARE(c.surface.pixel(16, 58), glyphColour('Y'));
    QCOMPARE(c.surface.pixel(16, 59), pieceColour(5));
    QCOMPARE(c.surface.pixel(8, 58), pieceColour(0));
}

void tst_Tokenizer::endOfBlockDropsThePage()
{
    const PreviewCanvas dropped = render(u"word<End of Block>"_s);
    const PreviewCanvas empty = render(QString());
    QCOMPARE(dropped.surface, empty.surface);
    QCOMPARE(pieceAt(empty.surface, 1, 1), 'A'); // the empty first window is there

    const PreviewCanvas closed = render(u"word<Close><End of Block>"_s);
    QCOMPARE(lineAt(closed.surface, 2, 14), u"word"_s);
    // The tags the editor inserts end a block this way, and nothing follows.
    const PreviewCanvas after = render(u"word<Close><End of Block>tail"_s);
    QCOMPARE(lineAt(after.surface, 6, 0), u"tail"_s);
}

void tst_Tokenizer::windowsFollowEachOther()
{
    // Height 1 gives 3-row windows: rows 0, 4, 8 with one empty row between.
    const PreviewCanvas c = render(u"a<New>\r\nb<Wait>\r\nc"_s, u"1"_s);
    QCOMPARE(pieceMap(c.surface, 2, 13),
             (QStringList{u".."_s, u".A"_s, u".E"_s, u".B"_s, u".."_s, u".A"_s, u".E"_s, u".B"_s, u".."_s,
                          u".A"_s, u".E"_s, u".B"_s, u".."_s}));
    QCOMPARE(lineAt(c.surface, 2, 14), u"a"_s);
    QCOMPARE(lineAt(c.surface, 2, 8 * 4 + 15), u"b"_s);
    QCOMPARE(lineAt(c.surface, 2, 8 * 8 + 15), u"c"_s);
}

void tst_Tokenizer::windowRowsCarryOverAnUnsizableHeight()
{
    PreviewCanvas c = canvas(u"56"_s, u"2"_s);
    showPreview(u"x"_s, c);
    QCOMPARE(c.windowRows, 5);
    // A later run that cannot size its windows pages with the last count.
    c.currentHeight = u"0"_s;
    clearPreview(c);
    showPreview(u"a<New>\r\nb"_s, c);
    QCOMPARE(c.windowRows, 5);
    QCOMPARE(lineAt(c.surface, 2, 8 * 6 + 15), u"b"_s);
    QCOMPARE(pieceAt(c.surface, 1, 1), '.');
}

void tst_Tokenizer::sixteenBitCut_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("tailDrawn");
    // The tail "Z" is drawn at (16, 30) after <Close> and two line breaks,
    // unless the run ended at an overflow first.
    QTest::newRow("line up to column 4095")
        << u"B"_s + QString(4093, u'a') + u"<Close>\r\n\r\nZ"_s << true;
    QTest::newRow("glyph at column 4096") << u"B"_s + QString(4094, u'a') + u"<Close>\r\n\r\nZ"_s << false;
    QString lines = u"X"_s;
    for (int i = 0; i < 2183; ++i)
        lines += u"\r\n"_s;
    QTest::newRow("last line top that fits") << lines + u"Y<Close>\r\n\r\nZ"_s << true;
    QTest::newRow("line top past 32767") << lines + u"\r\nY<Close>\r\n\r\nZ"_s << false;
}

void tst_Tokenizer::sixteenBitCut()
{
    QFETCH(QString, text);
    QFETCH(bool, tailDrawn);
    const PreviewCanvas c = render(text);
    QCOMPARE(lineAt(c.surface, 2, 30) == u"Z"_s, tailDrawn);
    QCOMPARE(glyphAt(c.surface, 16, 14), text.startsWith(u'B') ? int('B') : int('X'));
}

void tst_Tokenizer::drawsOnlyOntoWhatIsThere()
{
    // The callers clear: a run paints over the surface it is given.
    PreviewCanvas c = canvas();
    const QRgb marker = qRgb(9, 9, 9);
    c.surface.fill(marker);
    showPreview(u"A"_s, c);
    QCOMPARE(glyphAt(c.surface, 16, 14), int('A'));
    QCOMPARE(c.surface.pixel(100, 300), marker);
    QCOMPARE(c.surface.pixel(20, 30), marker); // inside the window

    PreviewCanvas fresh;
    fresh.currentWidth = u"56"_s;
    fresh.currentHeight = u"1"_s;
    showPreview(u"A"_s, fresh); // no surface, font or frame yet: nothing to crash on
    QCOMPARE(fresh.surface.size(), QSize(PreviewCanvas::Width, PreviewCanvas::Height));
    QCOMPARE(fresh.windowRows, 3);
}

void tst_Tokenizer::knownRenders_data()
{
    QTest::addColumn<QString>("folder");
    const QString root = QFINDTESTDATA("data/render");
    QVERIFY(!root.isEmpty());
    for (const QString &name : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        QTest::newRow(qPrintable(name)) << root + u'/' + name;
}

void tst_Tokenizer::knownRenders()
{
    QFETCH(QString, folder);
    QFile textFile(folder + u"/text.txt"_s);
    QFile sizeFile(folder + u"/size.txt"_s);
    QVERIFY(textFile.open(QIODevice::ReadOnly) && sizeFile.open(QIODevice::ReadOnly));
    const QStringList size = QString::fromLatin1(sizeFile.readAll()).simplified().split(u' ');
    QCOMPARE(size.size(), 2);

    PreviewCanvas c;
    QVERIFY(c.font.load(folder + u"/../tinyfont.xpm"_s));
    QVERIFY(c.frame.load(folder + u"/../frame.xpm"_s));
    c.currentWidth = size[0];
    c.currentHeight = size[1];
    clearPreview(c);
    showPreview(QString::fromUtf8(textFile.readAll()), c);

    QImage expected;
    QVERIFY(expected.load(folder + u"/expected.xpm"_s));
    expected = expected.convertToFormat(QImage::Format_RGB32);
    const QImage drawn = c.surface.copy(expected.rect());
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            if (drawn.pixel(x, y) != expected.pixel(x, y))
                QFAIL(qPrintable(u"pixel (%1, %2) differs"_s.arg(x).arg(y)));
        }
    }
    // Nothing outside the expected picture.
    QImage rest = c.surface;
    rest.fill(PreviewLayout::Background);
    QImage outside = c.surface;
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x)
            outside.setPixel(x, y, PreviewLayout::Background);
    }
    QCOMPARE(outside, rest);
}

QTEST_APPLESS_MAIN(tst_Tokenizer)
#include "tst_tokenizer.moc"
