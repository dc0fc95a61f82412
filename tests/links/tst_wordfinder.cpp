#include "links/linkstore.h"
#include "links/wordfinder.h"
#include "tests/support/tablefile.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_WordFinder : public QObject
{
    Q_OBJECT

private slots:
    void delimiters_data();
    void delimiters();
    void wordOver_data();
    void wordOver();
    void applySuggestion_data();
    void applySuggestion();
};

void tst_WordFinder::delimiters_data()
{
    QTest::addColumn<QString>("characters");
    QTest::addColumn<bool>("delimiter");
    QTest::newRow("slash, digits and ASCII letters") << u"/09AZaz"_s << false;
    QTest::newRow("their neighbours") << u".:@[`{'\r "_s << true;
    QTest::newRow("codes 130 and 160 to 165") << u"\u201A\u00A0\u00A1\u00A5"_s << false;
    QTest::newRow("other codes, accented letters, no code") << u"\u0082\u0192\u00A6\u00E1\u00F1\u0416"_s << true;
}

void tst_WordFinder::delimiters()
{
    QFETCH(QString, characters);
    QFETCH(bool, delimiter);
    for (QChar c : std::as_const(characters))
        QVERIFY2(isDelimiter(c) == delimiter, qPrintable(u"U+%1"_s.arg(c.unicode(), 4, 16, QChar(u'0'))));
}

void tst_WordFinder::wordOver_data()
{
    TableFile::addRows(QFINDTESTDATA("data/words.txt"), {"text", "p", "word", "wordStart"});
    // wordStart reaches p + 1, which must still be a 16-bit position.
    const QString blanks(32767, u' ');
    QTest::newRow("start at 32767") << blanks << u"32766"_s << u"-"_s << u"32767"_s;
    QTest::newRow("start past 32767") << blanks << u"32767"_s << u"-"_s << u"-"_s;
}

void tst_WordFinder::wordOver()
{
    QFETCH(QString, text);
    QFETCH(QString, p);
    QFETCH(QString, word);
    QFETCH(QString, wordStart);
    qint16 start = -7;
    QString current = u"-"_s;
    QCOMPARE(::wordOver(text, p.toInt(), start, current), word == u"-" ? QString() : word);
    QCOMPARE(current, word);
    QCOMPARE(start == -7 ? u"-"_s : QString::number(start), wordStart);
}

void tst_WordFinder::applySuggestion_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("wordStart");
    QTest::addColumn<QString>("expected");
    QTest::newRow("only the occurrence at the word") << u"sword, sword and sword"_s << 8 << u"sword, espada and sword"_s;
    QTest::newRow("first word of the text") << u"sword sword"_s << 1 << u"espada sword"_s;
    QTest::newRow("case-sensitive match") << u"Sword sword"_s << 1 << u"Sword espada"_s;
    QTest::newRow("inside a longer word after it") << u"a swords"_s << 3 << u"a espadas"_s;
    QTest::newRow("word gone: text unchanged") << u"abc"_s << 1 << u"abc"_s;
    QTest::newRow("wordStart 0 reads from the start") << u"sword"_s << 0 << u"espada"_s;
}

void tst_WordFinder::applySuggestion()
{
    QFETCH(QString, text);
    QFETCH(int, wordStart);
    QFETCH(QString, expected);
    QCOMPARE(::applySuggestion(text, qint16(wordStart), u"sword"_s, u"espada"_s), expected);
}

QTEST_APPLESS_MAIN(tst_WordFinder)
#include "tst_wordfinder.moc"
