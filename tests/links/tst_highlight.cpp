#include "links/highlight.h"
#include "tests/support/tablefile.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

QString marksText(const QList<LinkMark> &marks)
{
    QStringList list;
    for (const LinkMark &mark : marks)
        list << u"%1+%2"_s.arg(mark.start).arg(mark.length);
    return list.join(u' ');
}

// Marking done the direct way: every glossary word searched through a text
// document with the editor's own find (whole words, any case), a hit kept
// only when it matches case-sensitively, the search going on after it.
// `line` < 0 treats the whole text.
QString directMarks(const QString &text, const QStringList &words, int line = -1)
{
    QTextDocument doc;
    doc.setPlainText(text);
    const QList<TextLine> lines = textLines(text);
    const QTextBlock block = doc.findBlockByNumber(line);
    if (doc.blockCount() != lines.size() || (line >= 0 && !block.isValid()))
        return u"no such line"_s;
    const int first = line < 0 ? 0 : block.position();
    const int last = line < 0 ? doc.characterCount() - 1 : block.position() + block.length() - 1;
    QList<LinkMark> marks;
    for (const QString &word : words) {
        for (int from = first; !word.isEmpty();) {
            const QTextCursor hit = doc.find(word, from, QTextDocument::FindWholeWords);
            if (hit.isNull() || hit.selectionEnd() > last)
                break;
            if (hit.selectedText() == word) {
                const QTextBlock at = doc.findBlock(hit.selectionStart());
                marks.append({lines.at(at.blockNumber()).start + hit.selectionStart() - at.position(), word.size(), {}});
            }
            from = hit.selectionEnd();
        }
    }
    std::sort(marks.begin(), marks.end(), [](const LinkMark &a, const LinkMark &b) {
        return std::pair(a.start, a.length) < std::pair(b.start, b.length);
    });
    marks.erase(std::unique(marks.begin(), marks.end()), marks.end()); // their words left empty
    return marksText(marks);
}

} // namespace

class tst_Highlight : public QObject
{
    Q_OBJECT

private slots:
    void marks_data();
    void marks();
    void oneLine_data();
    void oneLine();
    void sameAsTheEditorsFind();
};

void tst_Highlight::marks_data()
{
    TableFile::addRows(QFINDTESTDATA("data/marks.txt"), {"text", "words", "expected"});
}

void tst_Highlight::marks()
{
    QFETCH(QString, text);
    QFETCH(QString, words);
    QFETCH(QString, expected);
    LinkGlossary glossary;
    glossary.setWords(words.split(u','));
    QCOMPARE(marksText(highlightMarks(text, glossary)), expected);
    QCOMPARE(directMarks(text, words.split(u',')), expected);
}

void tst_Highlight::oneLine_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first line") << 0 << u"0+6"_s;
    QTest::newRow("middle line") << 1 << u"10+6 17+6"_s;
    QTest::newRow("empty last line") << 3 << QString();
    QTest::newRow("no such line") << 4 << QString();
}

void tst_Highlight::oneLine()
{
    QFETCH(int, line);
    QFETCH(QString, expected);
    LinkGlossary glossary;
    glossary.setWords({u"Espada"_s});
    QCOMPARE(marksText(highlightMarksInLine(u"Espada x\r\nEspada Espada\r\nespada\r\n"_s, line, glossary)), expected);
}

// Random texts and glossaries over the characters where the fast path and
// the find part ways: case, accents, digits, blanks, marks, line breaks.
void tst_Highlight::sameAsTheEditorsFind()
{
    QRandomGenerator random(20240611);
    const QString pieces = u"aAbBesS1áÁñ -/.,_\u00A0`<>\n\r"_s;
    const auto pick = [&](int count) {
        QString text;
        while (count-- > 0)
            text += pieces.at(random.bounded(int(pieces.size())));
        return text;
    };
    int marked = 0;
    for (int round = 0; round < 2000; ++round) {
        const QString text = pick(random.bounded(1, 80)).replace(u"\r"_s, random.bounded(2) ? u"\r\n"_s : u"\r"_s);
        QStringList words;
        for (int i = random.bounded(1, 25); i > 0; --i) {
            // Pieces of the text itself, so that words meet real hits.
            const qsizetype at = random.bounded(int(text.size()));
            words << text.mid(at, random.bounded(1, 6)).section(QRegularExpression(u"[\r\n]"_s), 0, 0);
        }
        LinkGlossary glossary;
        glossary.setWords(words);
        const QString fast = marksText(highlightMarks(text, glossary));
        QVERIFY2(fast == directMarks(text, words), qPrintable(u"%1 in %2"_s.arg(words.join(u'|'), text)));
        marked += int(fast.count(u'+'));
        const int line = random.bounded(int(textLines(text).size()));
        QCOMPARE(marksText(highlightMarksInLine(text, line, glossary)), directMarks(text, words, line));
    }
    QVERIFY2(marked > 1500, qPrintable(QString::number(marked))); // enough hits to mean something
}

QTEST_MAIN(tst_Highlight)
#include "tst_highlight.moc"
