#include "check/blockcheck.h"
#include "editor/preview.h"
#include "links/linkstore.h"
#include "tests/support/testimages.h"

#include <QTest>

using namespace Qt::StringLiterals;

// Every rule on one block: a row that raises it and one that does not.
class tst_BlockCheck : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void rules_data();
    void rules();
    void emptyTranslationHasNoFindings();
    void changedOriginal_data();
    void changedOriginal();
    void previewAndCheckAgree_data();
    void previewAndCheckAgree();
    void markedSpan_data();
    void markedSpan();
    void overflowMarksCoverTheGlyphs_data();
    void overflowMarksCoverTheGlyphs();
    void checkerAgreesWithAWholeCheck_data();
    void checkerAgreesWithAWholeCheck();

private:
    CheckContext m_context;
};

namespace {
const QString End = u"<End of Block>"_s;
const QString Shown = u"<Close><End of Block>"_s; // ends a block with its last page drawn
}

void tst_BlockCheck::initTestCase()
{
    // Every cell drawn but the control characters, the blanks and "q".
    QImage font(2048, 11, QImage::Format_RGB32);
    font.fill(Qt::black);
    for (int code = 33; code < 256; ++code) {
        if (code != 0xA0 && code != 'q')
            font.setPixel(code * 8 + 3, 5, qRgb(255, 255, 255));
    }
    QVERIFY(m_context.font.setImage(font));
    LinkRow sword{u"sword"_s, {u"espada"_s, u"sable"_s}, {}};
    LinkRow bare{u"shield"_s, {}, {}};
    LinkRow twoWords{u"the tower"_s, {u"la torre"_s}, {}};
    m_context.glossary.setLinks({sword, bare, twoWords});
    CheckedBlock other{u"field"_s, u"b.txt"_s, 7, u"Same"_s, u"Igual"_s, true, false, u"56"_s, u"2"_s};
    m_context.translations.update(other);
    CheckedBlock self{u"field"_s, u"a.txt"_s, 1, u"Self"_s, u"Antes"_s, true, false, u"56"_s, u"2"_s};
    m_context.translations.update(self);
}

void tst_BlockCheck::rules_data()
{
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QString>("original");
    QTest::addColumn<QString>("translation");
    QTest::addColumn<QString>("height");
    QTest::addColumn<bool>("translated");
    // "start+length message…" of the first finding, after "error: " or "warning: " when its severity
    // is what the row is about; "" for none.
    QTest::addColumn<QString>("expected");

    const QString x28(28, u'x');
    const auto row = [](const char *name, const char *rule, const QString &original, const QString &translation,
                        const QString &expected, const QString &height = u"2"_s, bool translated = true) {
        QTest::newRow(name) << QString::fromLatin1(rule) << original << translation << height << translated << expected;
    };
    row("end tag missing", "end-tag", u"Hi"_s + End, u"Hola"_s, u"4+0 The translation has no <End of Block>"_s);
    row("end tag last", "end-tag", u"Hi"_s + End, u"Hola"_s + End, {});
    row("line break after the end tag", "end-tag", u"Hi"_s + End, u"Hola"_s + End + u"\r\n"_s, u"18+2 Text after"_s);
    row("end tag twice", "end-tag", u"Hi"_s + End, u"a"_s + End + u"\r\nb"_s + End, u"1+14 A second"_s);
    row("original's end line kept", "end-tag", u"Hi"_s + End + u" "_s, u"Hola"_s + End + u" "_s, {});
    row("not marked translated", "end-tag", u"Hi"_s + End, u"Hola"_s, {}, u"2"_s, false);

    row("speaker missing", "tags", u"<Tolm>\r\nHi"_s + End, u"Hola"_s + End, u"18+0 Tag <Tolm>: 1 in the original, 0"_s);
    row("typo near one tag", "tags", u"a<New>\r\nb"_s + End, u"a<Nwe>\r\nb"_s + End,
        u"1+5 Tag <Nwe>: 0 in the original, 1 in the translation; did you mean <New>?"_s);
    row("three edits away: no guess", "tags", u"a"_s + End, u"<Ovessinxyz>a"_s + End,
        u"0+12 Tag <Ovessinxyz>: 0 in the original, 1 in the translation."_s);
    row("near several tags: no guess", "tags", u"a"_s + End, u"<A>a"_s + End,
        u"0+3 Tag <A>: 0 in the original, 1 in the translation."_s);
    row("same tags, other order", "tags", u"<Tolm><Delay 30>Hi"_s + End, u"<Delay 30>Hola<Tolm>"_s + End, {});
    row("delay changed", "tags", u"<Delay 30>Hi"_s + End, u"<Delay 20>Hola"_s + End, u"0+10 Tag <Delay 20>: 0"_s);
    row("unknown chunk doubled", "tags", u"<UNKNOWN 1>"_s + End, u"<UNKNOWN 1><UNKNOWN 1>"_s + End,
        u"11+11 Tag <UNKNOWN 1>: 1 in the original, 2"_s);
    row("unterminated", "tags", u"Hi"_s + End, u"Hola <Tolm"_s, u"5+5 A \"<\" that is never closed"_s);
    row("page count is no tag error", "tags", u"a<New>\r\nb"_s + End, u"a<New>\r\nb<New>\r\nc"_s + End, {});
    row("one page more", "pages", u"a<New>\r\nb"_s + End, u"a<New>\r\nb<New>\r\nc"_s + End,
        u"9+5 Page tag <New>: 1 in the original, 2"_s);
    row("page tag missing: marked at the end", "pages", u"a<New>\r\nb"_s + End, u"a b"_s + End,
        u"17+0 Page tag <New>: 1 in the original, 0"_s);
    row("same pages", "pages", u"a<Wait>b"_s + End, u"c<Wait>d"_s + End, {});

    row("28 glyphs fit width 56", "overflow", {}, x28 + Shown, {});
    row("29 do not", "overflow", {}, x28 + u"y"_s + Shown, u"28+1 Page 1, line 1: 1 glyph past the window's width (28 fit)"_s);
    row("a tag's text counts", "overflow", {}, QString(20, u'x') + u"<Brassvale>"_s + Shown, u"20+11 Page 1, line 1: 1 glyph"_s);
    row("exactly h lines", "overflow", {}, u"a\r\nb"_s + Shown, {});
    row("one line more", "overflow", {}, u"a\r\nb\r\nc"_s + Shown,
        u"6+1 Page 1, line 3: 1 line past the window's height (2 fit)"_s);
    row("h lines on a later page", "overflow", {}, u"a<New>\r\nb\r\nc"_s + Shown, {});
    row("h + 2 on a later page", "overflow", {}, u"a<New>\r\nb\r\nc\r\nd\r\ne"_s + Shown,
        u"14+4 Page 2, line 3: 2 lines past"_s);
    row("a dropped page measured as if shown", "overflow", {}, u"a\r\nb\r\nc"_s + End,
        u"6+1 Page 1, line 3: 1 line past the window's height"_s);
    row("a dropped line as wide as shown", "overflow", {}, u"a<Close>\r\n"_s + x28 + u"yz"_s + End,
        u"38+2 Page 2, line 1: 2 glyphs past"_s);

    row("text dropped where the original shows it", "dropped", u"Hi"_s + Shown, u"Hola"_s + End,
        u"error: 0+4 Page 1 is never shown: it ends at <End of Block> without <Close> or <Wait>."_s);
    row("dropped in the original too", "dropped", u"Hi"_s + End, u"Hola"_s + End, u"warning: 0+4 Page 1 is never"_s);
    row("a later page dropped", "dropped", u"a<Wait>\r\nb"_s + End, u"a<Wait>\r\n b "_s + End,
        u"warning: 10+1 Page 2 is never shown"_s);
    row("shown with <Close>", "dropped", u"Hi"_s + Shown, u"Hola"_s + Shown, {});
    row("only a line break dropped", "dropped", u"Hi"_s + Shown, u"Hola<Close>\r\n "_s + End, {});
    row("no window, no overflow", "overflow", {}, x28 + x28 + Shown, {}, u"0"_s);
    row("height above 200", "overflow", {}, x28 + x28 + Shown, {}, u"201"_s);

    row("no code page byte", "glyph", {}, u"a\u03A9b"_s + Shown, u"1+1 \"\u03A9\" has no Windows-1252 code"_s);
    row("blank cell in the font", "glyph", {}, u"aqa"_s + Shown, u"1+1 \"q\" is blank in the game font"_s);
    row("lone line feed draws a blank cell", "glyph", {}, u"a\nb"_s + Shown, u"1+1 control character 10"_s);
    row("tab character", "glyph", {}, u"a\tb"_s + Shown, u"1+1 A tab character: the game font has no glyph"_s);
    row("blanks are blank by design", "glyph", {}, u"a b\u00A0c \u00E9\u20AC"_s + Shown, {});

    row("same as the original", "identical", u"Hi"_s + End, u"Hi"_s + End, u"0+16 The translation is the same"_s);
    row("translated", "identical", u"Hi"_s + End, u"Hola"_s + End, {});
    row("nothing to translate", "identical", u"<Tolm>..."_s + End, u"<Tolm>..."_s + End, {});

    row("linked word, no suggestion used", "glossary", u"The sword."_s, u"La hoja."_s,
        u"0+0 The original has the linked word \"sword\"; the translation uses none of its suggestions (espada, sable)"_s);
    row("a suggestion as it stands", "glossary", u"The sword."_s, u"La espada."_s, {});
    row("a suggestion in another form", "glossary", u"The sword."_s, u"Las Espadas."_s, {});
    row("not a whole word", "glossary", u"The swordfish."_s, u"El pez."_s, {});
    row("a link of two words", "glossary", u"At\r\nthe tower."_s, u"En el faro."_s, u"0+0 The original has the linked word \"the tower\""_s);
    row("link without suggestions", "glossary", u"The shield."_s, u"El escudo."_s, {});

    row("translated otherwise elsewhere", "inconsistent", u"Same"_s, u"Igual no"_s,
        u"0+8 The same original is translated differently in field b.txt block 7"_s);
    row("translated alike", "inconsistent", u"Same"_s, u"Igual"_s, {});
    row("its own earlier translation", "inconsistent", u"Self"_s, u"Ahora"_s, {});

    row("paired marks", "punctuation", {}, u"\u00BFQu\u00E9 es? \u00A1Ya! \u00BFY t\u00FA...?"_s, {});
    row("opening without closing", "punctuation", {}, u"\u00BFQu\u00E9 es."_s, u"0+1 \"\u00BF\" without its closing \"?\""_s);
    row("closing without opening", "punctuation", {}, u"Ya!"_s, u"2+1 \"!\" without its opening \"\u00A1\""_s);
    row("a symbol tag closes", "punctuation", {}, u"\u00BFQu\u00E9<?>"_s, {});
    row("two blanks", "punctuation", {}, u"a  b"_s, u"1+2 Two blanks in a row"_s);
    row("blank starts a line", "punctuation", {}, u"a\r\n b"_s, u"3+1 Blank at the start of a line"_s);
    row("blank ends a line", "punctuation", {}, u"a \r\nb"_s, u"1+1 Blank at the end of a line"_s);
    row("blanks inside a tag", "punctuation", {}, u"<Opcode 1  2>a b"_s, {});
}

void tst_BlockCheck::rules()
{
    QFETCH(QString, rule);
    QFETCH(QString, original);
    QFETCH(QString, translation);
    QFETCH(QString, height);
    QFETCH(bool, translated);
    QFETCH(QString, expected);

    const CheckedBlock block{u"field"_s, u"a.txt"_s, 1, original, translation, translated, false, u"56"_s, height, false};
    RuleSet only = RuleSet::none();
    only.insert(*ruleFromId(rule));
    const QList<Finding> findings = checkBlock(block, m_context, only);
    if (expected.isEmpty()) {
        QVERIFY2(findings.isEmpty(), qPrintable(findings.value(0).message));
        return;
    }
    QVERIFY(!findings.isEmpty());
    const Finding &first = findings.first();
    const QString got = u"%1+%2 %3"_s.arg(first.start).arg(first.length).arg(first.message);
    const QString withSeverity = severityName(first.severity) + u": "_s + got;
    QVERIFY2(got.startsWith(expected) || withSeverity.startsWith(expected), qPrintable(withSeverity));
    QCOMPARE(ruleId(first.rule), rule);
}

void tst_BlockCheck::emptyTranslationHasNoFindings()
{
    const CheckedBlock block{u"field"_s, u"a.txt"_s, 1, u"Same"_s, {}, true, false, u"56"_s, u"2"_s, true};
    QVERIFY(checkBlock(block, m_context).isEmpty());
}

// The mark an update of the originals leaves, until the block is saved again.
void tst_BlockCheck::changedOriginal_data()
{
    QTest::addColumn<bool>("marked");
    QTest::addColumn<bool>("expected");
    QTest::newRow("marked") << true << true;
    QTest::newRow("not marked") << false << false;
}

void tst_BlockCheck::changedOriginal()
{
    QFETCH(bool, marked);
    QFETCH(bool, expected);
    const CheckedBlock block{u"field"_s, u"a.txt"_s, 1, u"New"_s, u"Nuevo"_s, true, false, u"56"_s, u"2"_s, marked};
    RuleSet only = RuleSet::none();
    only.insert(*ruleFromId(u"changed-original"_s));
    const QList<Finding> findings = checkBlock(block, m_context, only);
    QCOMPARE(!findings.isEmpty(), expected);
    if (expected)
        QCOMPARE(findings.first().severity, Severity::Warning);
}

// The check counts the lines and pages the preview draws: for the page
// flow's tricky cases, every line the check lays out stands on the preview
// where it says, and the glyphs it counts are all the preview draws.
void tst_BlockCheck::previewAndCheckAgree_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("lines"); // "page.line" of each laid line, 1-based

    QTest::newRow("line breaks") << u"ab\r\ncd\r\n\r\ne"_s << u"3"_s << u"1.1 1.2 1.4"_s;
    QTest::newRow("carriage return eats the next character") << u"A\rBC\r\nD"_s << u"2"_s << u"1.1 1.2 1.3"_s;
    QTest::newRow("page tags") << u"a<New>\r\nb\r\nc<Wait>\r\nd"_s << u"2"_s << u"1.1 2.1 2.2 3.1"_s;
    QTest::newRow("text right after a page tag") << u"a<New>b"_s << u"2"_s << u"1.1 2.0"_s;
    QTest::newRow("close starts over in the window") << u"ab<Close>\r\n\r\ncd"_s << u"1"_s << u"1.1 2.2"_s;
    QTest::newRow("tag spanning a line break") << u"a<b\r\nc>d\r\ne"_s << u"2"_s << u"1.1 1.2"_s;
    QTest::newRow("end of block drops the page") << u"a<New>\r\nb"_s + End + u"c"_s << u"2"_s << u"1.1 2.0"_s;
    QTest::newRow("no window: pages still break") << u"a<New>\r\n\r\nb"_s << u"0"_s << u"1.1 2.2"_s;
    QTest::newRow("tags show text") << u"<Tolm>\r\n<...><UNKNOWN>"_s << u"2"_s << u"1.1 1.2"_s;
}

void tst_BlockCheck::previewAndCheckAgree()
{
    QFETCH(QString, text);
    QFETCH(QString, height);
    QFETCH(QString, lines);

    PreviewCanvas canvas = TestImages::canvas(u"56"_s, height);
    showPreview(text, canvas);
    const QList<LaidLine> laid = layOutLines(text, windowGeometry(u"56"_s, height));

    QStringList numbers;
    int counted = 0;
    for (const LaidLine &line : laid) {
        if (line.dropped)
            continue;
        numbers << u"%1.%2"_s.arg(line.page + 1).arg(line.number);
        const int glyphs = line.lastColumn - line.firstColumn + 1;
        QVERIFY2(TestImages::lineAt(canvas.surface, line.firstColumn, line.top).size() == glyphs,
                 qPrintable(u"%1 glyphs at column %2, y %3"_s.arg(glyphs).arg(line.firstColumn).arg(line.top)));
        counted += glyphs;
    }
    QCOMPARE(numbers.join(u' '), lines);

    int drawn = 0;
    for (int y = 0; y + 11 <= canvas.surface.height(); ++y) {
        for (int x = 0; x + 8 <= canvas.surface.width(); x += 8)
            drawn += TestImages::glyphAt(canvas.surface, x, y) >= 0;
    }
    QCOMPARE(counted, drawn);
}

void tst_BlockCheck::markedSpan_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("markStart");
    QTest::addColumn<int>("markLength");
    QTest::newRow("a span is its own mark") << u"abc"_s << 1 << 2 << 1 << 2;
    QTest::newRow("missing at the end: the last character") << u"abc"_s << 3 << 0 << 2 << 1;
    QTest::newRow("line breaks passed over") << u"ab\r\n"_s << 4 << 0 << 1 << 1;
    QTest::newRow("at the start: the first character") << u"abc"_s << 0 << 0 << 0 << 1;
}

void tst_BlockCheck::markedSpan()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(int, markStart);
    QFETCH(int, markLength);
    const MarkedSpan mark = ::markedSpan({Rule::Pages, Severity::Warning, {}, start, length}, text);
    QCOMPARE(mark.start, qsizetype(markStart));
    QCOMPARE(mark.length, qsizetype(markLength));
}

// Over the page layouts the tag vocabulary makes, the marks stand on the
// glyphs the preview draws past the window, and on nothing else.
void tst_BlockCheck::overflowMarksCoverTheGlyphs_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("marks"); // "x,y wxh" in game pixels, as recorded

    const QString x29(29, u'x');
    QTest::newRow("speaker row, then a delay") << u"<Ovessin>\r\n<Delay 20>"_s + x29 + Shown << u"2"_s << u"240,29 8x11"_s;
    QTest::newRow("speaker tag runs past") << QString(25, u'x') + u"<Quarrowell>"_s + Shown << u"2"_s
                                           << u"240,14 56x11"_s;
    QTest::newRow("symbol tag of three glyphs") << QString(27, u'x') + u"<...>"_s + Shown << u"2"_s << u"240,14 16x11"_s;
    QTest::newRow("unknown tag's mark") << QString(28, u'x') + u"<UNKNOWN 3>"_s + Shown << u"2"_s << u"240,14 8x11"_s;
    QTest::newRow("second window after a wait") << u"a<Wait>\r\n"_s + x29 + Shown << u"1"_s << u"240,47 8x11"_s;
    QTest::newRow("several windows, delays between") << u"a<New>\r\nb<Delay 5><New>\r\n"_s + x29 + u"<Delay 9>"_s + Shown
                                                     << u"1"_s << u"240,79 8x11"_s;
    QTest::newRow("text on the border after a page tag") << u"a<New>"_s + x29 + Shown << u"2"_s << u"240,48 8x11"_s;
    QTest::newRow("close goes on on the border") << u"ab<Close>"_s + QString(27, u'x') + Shown << u"2"_s
                                                 << u"240,0 8x11"_s;
    QTest::newRow("lines past the height") << u"a\r\nb\r\nc<Wait>\r\nd"_s + Shown << u"2"_s << u"16,44 8x11"_s;
    QTest::newRow("dropped page: nothing drawn, nothing marked") << u"a\r\nb\r\n"_s + x29 + End << u"2"_s << QString();
}

void tst_BlockCheck::overflowMarksCoverTheGlyphs()
{
    QFETCH(QString, text);
    QFETCH(QString, height);
    QFETCH(QString, marks);
    const QList<QRect> got = overflowMarks(text, u"56"_s, height);
    QStringList shown;
    for (const QRect &mark : got)
        shown << u"%1,%2 %3x%4"_s.arg(mark.x()).arg(mark.y()).arg(mark.width()).arg(mark.height());
    QCOMPARE(shown.join(u"; "_s), marks);

    PreviewCanvas canvas = TestImages::canvas(u"56"_s, height);
    showPreview(text, canvas);
    const auto window = windowGeometry(u"56"_s, height);
    const int lines = (window->rows - 1) / 2;
    for (const LaidLine &line : layOutLines(text, window)) {
        if (line.dropped)
            continue;
        for (int column = line.firstColumn; column <= line.lastColumn; ++column) {
            const QPoint cell(column * 8, line.top);
            const bool over = column > window->columns - 1 || line.number > lines;
            const bool marked = std::any_of(got.cbegin(), got.cend(), [&](const QRect &r) { return r.contains(cell); });
            QVERIFY2(TestImages::glyphAt(canvas.surface, cell.x(), cell.y()) >= 0, "a laid cell the preview draws");
            QVERIFY2(over == marked, qPrintable(u"cell %1,%2"_s.arg(cell.x()).arg(cell.y())));
        }
    }
}

void tst_BlockCheck::checkerAgreesWithAWholeCheck_data()
{
    QTest::addColumn<QString>("first"); // at the start of the translation for the first check
    QTest::addColumn<int>("at"); // -1: the end of the text
    QTest::addColumn<int>("removed");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("height"); // the window's for the second check, when given

    QTest::newRow("letter at the start") << QString() << 0 << 0 << u"a"_s << QString();
    QTest::newRow("letter in the middle") << QString() << 4 << 0 << u"a"_s << QString();
    QTest::newRow("letter after the end tag") << QString() << -1 << 0 << u"a"_s << QString();
    QTest::newRow("page break added") << QString() << 3 << 0 << u"<Wait>\r\n"_s << QString();
    QTest::newRow("page break removed") << QString() << 7 << 6 << QString() << QString();
    QTest::newRow("tag typed") << QString() << 0 << 0 << u"<Hero>"_s << QString();
    QTest::newRow("tag half typed") << QString() << 0 << 0 << u"<Her"_s << QString();
    QTest::newRow("tag removed") << QString() << 18 << 6 << QString() << QString();
    QTest::newRow("suggestion typed") << QString() << 2 << 0 << u" espada"_s << QString();
    QTest::newRow("end tag removed") << QString() << 33 << 14 << QString() << QString();
    QTest::newRow("line past the width") << QString() << 4 << 0 << QString(40, u'x') << QString();
    // What an earlier check said of a line no longer holds.
    const QString wide(60, u'x');
    QTest::newRow("a glyph more past the width") << wide << 0 << 0 << u"a"_s << QString();
    QTest::newRow("a glyph less past the width") << wide << 0 << 1 << QString() << QString();
    QTest::newRow("past the width, a page break before it") << wide << 0 << 0 << u"<Wait>\r\n"_s << QString();
    QTest::newRow("past the width at the end") << wide << -1 << 0 << u"\r\n"_s + wide << QString();
    QTest::newRow("a line more past the height") << u"a\r\nb\r\n"_s << 0 << 0 << u"c\r\n"_s << QString();
    QTest::newRow("past the height, a page break before it") << u"a\r\nb\r\n"_s << 0 << 0 << u"<Wait>\r\n"_s << QString();
    QTest::newRow("past the height, the page break between taken out") << u"a\r\nb\r\n"_s << 13 << 6 << QString() << QString();
    QTest::newRow("past the height, the window made taller") << u"a\r\nb\r\n"_s << 0 << 0 << QString() << u"3"_s;
    QTest::newRow("a mistyped tag mistyped otherwise") << u"<Nwe>"_s << 1 << 3 << u"Wiat"_s << QString();
    QTest::newRow("a mistyped tag typed again") << u"<Nwe>"_s << 0 << 0 << u"<Nwe>"_s << QString();
    QTest::newRow("a dropped page made by taking <Close> out") << u"a<Close>"_s << 33 << 7 << QString() << QString();
}

void tst_BlockCheck::checkerAgreesWithAWholeCheck()
{
    QFETCH(QString, first);
    QFETCH(int, at);
    QFETCH(int, removed);
    QFETCH(QString, typed);
    QFETCH(QString, height);
    CheckedBlock block{u"field"_s, u"c.txt"_s, 2, u"The sword<Wait>\r\nof <Hero>.<Close><End of Block>"_s,
                       u"La hoja<Wait>\r\nde <Hero>.<Close><End of Block>"_s, true, false, u"56"_s, u"2"_s};
    block.translation.prepend(first);
    BlockChecker checker(block.original, m_context);
    QCOMPARE(checker.check(block), checkBlock(block, m_context)); // the facts are worked out here
    block.translation.replace(at < 0 ? block.translation.size() : at, removed, typed);
    block.height = height.isNull() ? block.height : height;
    const QList<Finding> whole = checkBlock(block, m_context);
    QCOMPARE(checker.check(block), whole);
    QCOMPARE(overflowMarks(checker.lines(), block.width, block.height),
             overflowMarks(block.translation, block.width, block.height));
}

QTEST_APPLESS_MAIN(tst_BlockCheck)
#include "tst_blockcheck.moc"
