#include "links/highlight.h"

#include <QRandomGenerator>
#include <QTest>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

using Range = std::pair<qsizetype, qsizetype>;

QList<Range> ranges(const QList<LinkMark> &marks)
{
    QList<Range> list;
    for (const LinkMark &mark : marks)
        list.append({mark.start, mark.length});
    return list;
}

// Marking done the direct way: every glossary row searched through a text
// document with the editor's own find (whole words, any case), a hit kept only
// when it matches case-sensitively, the search going on after each hit.
// `line` < 0 treats the whole text.
QList<Range> directMarks(const QString &text, const QStringList &words, int line = -1)
{
    QTextDocument doc;
    doc.setPlainText(text);
    const QList<TextLine> lines = textLines(text);
    if (doc.blockCount() != lines.size())
        return {{-1, -1}}; // the two must agree on what a line is
    const QString raw = doc.toRawText();
    int rangeStart = 0;
    int rangeEnd = doc.characterCount() - 1;
    if (line >= 0) {
        const QTextBlock block = doc.findBlockByNumber(line);
        if (!block.isValid())
            return {};
        rangeStart = block.position();
        rangeEnd = block.position() + block.length() - 1;
    }
    QList<Range> marks;
    for (const QString &word : words) {
        if (word.isEmpty())
            continue;
        const int length = int(word.size());
        int from = rangeStart;
        for (;;) {
            const QTextCursor hit = doc.find(word, from, QTextDocument::FindWholeWords);
            if (hit.isNull())
                break;
            const int f = hit.selectionStart();
            if (f + length > rangeEnd)
                break;
            if (raw.mid(f, length) == word) {
                const QTextBlock block = doc.findBlock(f);
                marks.append({lines.at(block.blockNumber()).start + f - block.position(), length});
            }
            from = f + length;
        }
    }
    std::sort(marks.begin(), marks.end());
    marks.erase(std::unique(marks.begin(), marks.end()), marks.end());
    return marks;
}

QString pick(QRandomGenerator &random, const QStringList &pieces, int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += pieces.at(random.bounded(int(pieces.size())));
    return text;
}

} // namespace

class tst_Highlight : public QObject
{
    Q_OBJECT

private slots:
    void marks_data();
    void marks();
    void lineVariant_data();
    void lineVariant();
    void emptyWordsSkipped();
    void linesOfAText_data();
    void linesOfAText();
    void sameAsDirectSearch();
};

void tst_Highlight::marks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QList<Range>>("expected");

    const QStringList espada{u"Espada"_s};
    QTest::newRow("followed by a comma") << u"Espada, escudo"_s << espada << QList<Range>{{0, 6}};
    QTest::newRow("other case") << u"una espada"_s << espada << QList<Range>{};
    QTest::newRow("inside a longer word") << u"dos Espadas"_s << espada << QList<Range>{};
    QTest::newRow("word inside another") << u"LaEspada"_s << espada << QList<Range>{};
    QTest::newRow("between brackets and quotes") << u"(Espada) \"Espada\"."_s << espada
                                                 << QList<Range>{{1, 6}, {10, 6}};
    QTest::newRow("next to a digit is no whole word") << u"Espada2 Espada"_s << espada << QList<Range>{{8, 6}};
    QTest::newRow("underscore and slash are boundaries") << u"_Espada/Espada"_s << espada
                                                         << QList<Range>{{1, 6}, {8, 6}};
    QTest::newRow("accented letter is no boundary") << u"Espadaé Espada"_s << espada << QList<Range>{{8, 6}};
    QTest::newRow("second line counts CR LF as two") << u"x\r\nEspada"_s << espada << QList<Range>{{3, 6}};
    QTest::newRow("two words, text order") << u"sword Espada sword"_s << QStringList{u"Espada"_s, u"sword"_s}
                                           << QList<Range>{{0, 5}, {6, 6}, {13, 5}};
    QTest::newRow("duplicate rows mark once") << u"Espada"_s << QStringList{u"Espada"_s, u"Espada"_s}
                                              << QList<Range>{{0, 6}};
    QTest::newRow("word with a blank") << u"la Gran Espada, gran espada"_s << QStringList{u"Gran Espada"_s}
                                       << QList<Range>{{3, 11}};
    QTest::newRow("blank matches a no-break space") << u"Gran\u00A0Espada"_s << QStringList{u"Gran Espada"_s}
                                                    << QList<Range>{};
    // After a hit that is no whole word the find resumes one past its end and
    // so passes over a hit that starts right there.
    QTest::newRow("find resumes past a partial hit") << u"ba-a-"_s << QStringList{u"a-"_s} << QList<Range>{};
    QTest::newRow("other-case hit moves the search") << u"A-a-"_s << QStringList{u"a-"_s} << QList<Range>{};
    QTest::newRow("hyphenated word") << u"x-y x-yz"_s << QStringList{u"x-y"_s} << QList<Range>{{0, 3}};
}

void tst_Highlight::marks()
{
    QFETCH(QString, text);
    QFETCH(QStringList, words);
    QFETCH(QList<Range>, expected);
    LinkGlossary glossary;
    glossary.setWords(words);
    QCOMPARE(ranges(highlightMarks(text, glossary)), expected);
    QCOMPARE(directMarks(text, words), expected);
}

void tst_Highlight::lineVariant_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QList<Range>>("expected");
    QTest::newRow("first line") << 0 << QList<Range>{{0, 6}};
    QTest::newRow("middle line") << 1 << QList<Range>{{10, 6}, {17, 6}};
    QTest::newRow("empty last line") << 3 << QList<Range>{};
    QTest::newRow("no such line") << 4 << QList<Range>{};
}

void tst_Highlight::lineVariant()
{
    QFETCH(int, line);
    QFETCH(QList<Range>, expected);
    const QString text = u"Espada x\r\nEspada Espada\r\nespada\r\n"_s;
    LinkGlossary glossary;
    glossary.setWords({u"Espada"_s});
    QCOMPARE(ranges(highlightMarksInLine(text, line, glossary)), expected);
    QCOMPARE(directMarks(text, {u"Espada"_s}, line), expected);
}

void tst_Highlight::emptyWordsSkipped()
{
    LinkGlossary glossary;
    glossary.setWords({QString(), u"sword"_s, QString()});
    QCOMPARE(glossary.size(), 1);
    const QList<LinkMark> marks = highlightMarks(u" sword "_s, glossary);
    QCOMPARE(marks, (QList<LinkMark>{{1, 5, u"sword"_s}}));
}

void tst_Highlight::linesOfAText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<Range>>("lines");
    QTest::newRow("empty") << QString() << QList<Range>{{0, 0}};
    QTest::newRow("CR LF") << u"ab\r\nc"_s << QList<Range>{{0, 2}, {4, 1}};
    QTest::newRow("lone CR and LF") << u"a\rb\nc"_s << QList<Range>{{0, 1}, {2, 1}, {4, 1}};
    QTest::newRow("break at the end") << u"ab\r\n"_s << QList<Range>{{0, 2}, {4, 0}};
    QTest::newRow("LF CR is two breaks") << u"a\n\rb"_s << QList<Range>{{0, 1}, {2, 0}, {3, 1}};
}

void tst_Highlight::linesOfAText()
{
    QFETCH(QString, text);
    QFETCH(QList<Range>, lines);
    QList<Range> found;
    for (const TextLine &line : textLines(text))
        found.append({line.start, line.length});
    QCOMPARE(found, lines);
}

void tst_Highlight::sameAsDirectSearch()
{
    QRandomGenerator random(20240611);
    const QStringList letters{u"a"_s, u"A"_s, u"b"_s, u"B"_s, u"e"_s, u"s"_s, u"S"_s, u"1"_s, u"á"_s, u"Á"_s, u"ñ"_s};
    const QStringList others{u" "_s, u"-"_s, u"/"_s, u"."_s, u","_s, u"_"_s, u"\u00A0"_s, u"`"_s, u"<"_s, u">"_s};
    const QStringList breaks{u"\r\n"_s, u"\r\n"_s, u"\n"_s, u"\r"_s};
    int total = 0;
    int otherWordMarks = 0;
    for (int round = 0; round < 2000; ++round) {
        QString text;
        const int parts = random.bounded(1, 60);
        for (int i = 0; i < parts; ++i) {
            const int kind = random.bounded(10);
            text += kind < 6 ? pick(random, letters, random.bounded(1, 4))
                             : kind < 9 ? pick(random, others, 1) : pick(random, breaks, 1);
        }
        QStringList words;
        const int count = random.bounded(1, 25);
        for (int i = 0; i < count; ++i) {
            const int kind = random.bounded(5);
            if (kind == 0) {
                words << QString();
            } else if (kind == 1) {
                words << pick(random, letters, random.bounded(1, 4));
            } else if (kind == 2) {
                // A run of letters of the text, to meet hits of plain words.
                const QStringList runs = text.split(QRegularExpression(u"[^\\w]|_"_s), Qt::SkipEmptyParts);
                words << (runs.isEmpty() ? u"a"_s : runs.at(random.bounded(int(runs.size()))));
            } else {
                // A piece of the text itself, so that words with blanks and
                // punctuation meet real hits.
                const qsizetype at = random.bounded(int(text.size()));
                QString piece = text.mid(at, random.bounded(1, 6));
                piece = piece.left(piece.indexOf(QRegularExpression(u"[\r\n]"_s)));
                words << piece;
            }
        }
        LinkGlossary glossary;
        glossary.setWords(words);
        const QList<Range> fast = ranges(highlightMarks(text, glossary));
        const QList<Range> direct = directMarks(text, words);
        if (fast != direct)
            qWarning() << "text" << text << "words" << words;
        QCOMPARE(fast, direct);
        total += int(fast.size());
        for (const LinkMark &mark : highlightMarks(text, glossary)) {
            if (!std::all_of(mark.word.cbegin(), mark.word.cend(), [](QChar c) { return c.isLetterOrNumber(); }))
                ++otherWordMarks;
        }

        const int lineCount = int(textLines(text).size());
        const int line = random.bounded(lineCount);
        QCOMPARE(ranges(highlightMarksInLine(text, line, glossary)), directMarks(text, words, line));
    }
    // Enough hits of both kinds for the comparison to mean something.
    QVERIFY2(total > 1500, qPrintable(QString::number(total)));
    QVERIFY2(otherWordMarks > 300, qPrintable(QString::number(otherWordMarks)));
}

QTEST_MAIN(tst_Highlight)
#include "tst_highlight.moc"
