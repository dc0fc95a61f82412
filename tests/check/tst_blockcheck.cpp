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
    void previewAndCheckAgree_data();
    void previewAndCheckAgree();

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
    QTest::addColumn<QString>("expected"); // "start+length message…" of the first finding, or "" for none

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

    row("speaker missing", "tags", u"<Tolm>\r\nHi"_s + End, u"Hola"_s + End, u"0+0 Tag <Tolm>: 1 in the original, 0"_s);
    row("same tags, other order", "tags", u"<Tolm><Delay 30>Hi"_s + End, u"<Delay 30>Hola<Tolm>"_s + End, {});
    row("delay changed", "tags", u"<Delay 30>Hi"_s + End, u"<Delay 20>Hola"_s + End, u"0+10 Tag <Delay 20>: 0"_s);
    row("unknown chunk doubled", "tags", u"<UNKNOWN 1>"_s + End, u"<UNKNOWN 1><UNKNOWN 1>"_s + End,
        u"11+11 Tag <UNKNOWN 1>: 1 in the original, 2"_s);
    row("unterminated", "tags", u"Hi"_s + End, u"Hola <Tolm"_s, u"5+5 A \"<\" that is never closed"_s);
    row("page count is no tag error", "tags", u"a<New>\r\nb"_s + End, u"a<New>\r\nb<New>\r\nc"_s + End, {});
    row("one page more", "pages", u"a<New>\r\nb"_s + End, u"a<New>\r\nb<New>\r\nc"_s + End,
        u"9+5 Page tag <New>: 1 in the original, 2"_s);
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
    row("a dropped page is not shown", "overflow", {}, u"a\r\nb\r\nc"_s + End, {});
    row("no window, no overflow", "overflow", {}, x28 + x28 + Shown, {}, u"0"_s);
    row("height above 200", "overflow", {}, x28 + x28 + Shown, {}, u"201"_s);

    row("no code page byte", "glyph", {}, u"a\u03A9b"_s + Shown, u"1+1 \"\u03A9\" has no Windows-1252 code"_s);
    row("blank cell in the font", "glyph", {}, u"aqa"_s + Shown, u"1+1 \"q\" is blank in the game font"_s);
    row("lone line feed draws a blank cell", "glyph", {}, u"a\nb"_s + Shown, u"1+1 control character 10"_s);
    row("blanks are blank by design", "glyph", {}, u"a b\u00A0c \u00E9\u20AC"_s + Shown, {});

    row("same as the original", "identical", u"Hi"_s + End, u"Hi"_s + End, u"0+16 The translation is the same"_s);
    row("translated", "identical", u"Hi"_s + End, u"Hola"_s + End, {});
    row("nothing to translate", "identical", u"<Tolm>..."_s + End, u"<Tolm>..."_s + End, {});

    row("linked word, no suggestion used", "glossary", u"The sword."_s, u"La hoja."_s,
        u"0+0 The original has the linked word \"sword\"; the translation uses none of its suggestions (espada, sable)"_s);
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

    const CheckedBlock block{u"field"_s, u"a.txt"_s, 1, original, translation, translated, false, u"56"_s, height};
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
    QVERIFY2(got.startsWith(expected), qPrintable(got));
    QCOMPARE(ruleId(first.rule), rule);
}

void tst_BlockCheck::emptyTranslationHasNoFindings()
{
    const CheckedBlock block{u"field"_s, u"a.txt"_s, 1, u"Same"_s, {}, true, false, u"56"_s, u"2"_s};
    QVERIFY(checkBlock(block, m_context).isEmpty());
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

QTEST_APPLESS_MAIN(tst_BlockCheck)
#include "tst_blockcheck.moc"
