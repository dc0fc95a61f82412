#include "links/linkstore.h"
#include "links/wordfinder.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_WordFinder : public QObject
{
    Q_OBJECT

private slots:
    void delimiter_data();
    void delimiter();
    void wordCodes();
    void richWordOver_data();
    void richWordOver();
    void noWordKeepsCurrentWord();
    void applySuggestion_data();
    void applySuggestion();
};

void tst_WordFinder::delimiter_data()
{
    QTest::addColumn<QChar>("c");
    QTest::addColumn<bool>("delimiter");
    QTest::newRow("slash") << QChar(u'/') << false;
    QTest::newRow("dot before the slash") << QChar(u'.') << true;
    QTest::newRow("digit 0") << QChar(u'0') << false;
    QTest::newRow("digit 9") << QChar(u'9') << false;
    QTest::newRow("colon after the digits") << QChar(u':') << true;
    QTest::newRow("at before A") << QChar(u'@') << true;
    QTest::newRow("A") << QChar(u'A') << false;
    QTest::newRow("Z") << QChar(u'Z') << false;
    QTest::newRow("bracket after Z") << QChar(u'[') << true;
    QTest::newRow("grave accent before a") << QChar(u'`') << true;
    QTest::newRow("a") << QChar(u'a') << false;
    QTest::newRow("z") << QChar(u'z') << false;
    QTest::newRow("brace after z") << QChar(u'{') << true;
    QTest::newRow("apostrophe") << QChar(u'\'') << true;
    QTest::newRow("blank") << QChar(u' ') << true;
    QTest::newRow("CR") << QChar(u'\r') << true;
    QTest::newRow("130 single low quote") << QChar(0x201A) << false;
    QTest::newRow("U+0082 is not code 130") << QChar(0x0082) << true;
    QTest::newRow("131 florin") << QChar(0x0192) << true;
    QTest::newRow("160 no-break space") << QChar(0x00A0) << false;
    QTest::newRow("161 inverted exclamation") << QChar(0x00A1) << false;
    QTest::newRow("165 yen") << QChar(0x00A5) << false;
    QTest::newRow("166 broken bar") << QChar(0x00A6) << true;
    QTest::newRow("225 a acute") << QChar(0x00E1) << true;
    QTest::newRow("241 n tilde") << QChar(0x00F1) << true;
    QTest::newRow("not in the code page") << QChar(0x0416) << true;
}

void tst_WordFinder::delimiter()
{
    QFETCH(QChar, c);
    QFETCH(bool, delimiter);
    QCOMPARE(isDelimiter(c), delimiter);
}

void tst_WordFinder::wordCodes()
{
    QList<int> words;
    for (int code = 0; code < 256; ++code) {
        if (isWordCode(code))
            words << code;
    }
    QList<int> expected{47, 130, 160, 161, 162, 163, 164, 165};
    for (int code = 48; code <= 57; ++code)
        expected << code;
    for (int code = 65; code <= 90; ++code)
        expected << code;
    for (int code = 97; code <= 122; ++code)
        expected << code;
    std::sort(expected.begin(), expected.end());
    QCOMPARE(words, expected);
}

void tst_WordFinder::richWordOver_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("p");
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("wordStart");

    const QString cofre = u"el cofre/mágico"_s;
    QTest::newRow("inside cofre: slash joins, accent ends") << cofre << 5 << u"cofre/m"_s << 4;
    QTest::newRow("p at the first letter of cofre") << cofre << 3 << QString() << 4;
    QTest::newRow("p at the second letter of cofre") << cofre << 4 << u"cofre/m"_s << 4;
    QTest::newRow("p just after m") << cofre << 10 << u"cofre/m"_s << 4;
    QTest::newRow("p just after the accented letter") << cofre << 11 << QString() << 12;
    QTest::newRow("p at the letter after the accent") << cofre << 12 << u"gico"_s << 12;
    QTest::newRow("p at the end of the text") << cofre << 15 << u"gico"_s << 12;
    QTest::newRow("p just after el") << cofre << 2 << u"el"_s << 1;
    QTest::newRow("p = 0 with a word at the start") << cofre << 0 << QString() << 0;
    QTest::newRow("p = 1 finds the first word") << cofre << 1 << u"el"_s << 1;
    QTest::newRow("negative p") << cofre << -4 << QString() << 0;
    QTest::newRow("p past the text") << cofre << 16 << QString() << 0;
    QTest::newRow("between two blanks") << u"a  b"_s << 2 << QString() << 3;
    QTest::newRow("line break ends a word") << u"uno\r\ndos"_s << 7 << u"dos"_s << 6;
    QTest::newRow("word before CR") << u"uno\r\ndos"_s << 3 << u"uno"_s << 1;
    QTest::newRow("grave accent is a delimiter") << u"don`t"_s << 2 << u"don"_s << 1;
    QTest::newRow("yen joins") << u"5¥ total"_s << 1 << u"5¥"_s << 1;
    QTest::newRow("empty text") << QString() << 0 << QString() << 0;
}

void tst_WordFinder::richWordOver()
{
    QFETCH(QString, text);
    QFETCH(int, p);
    QFETCH(QString, word);
    QFETCH(int, wordStart);

    qint16 start = 0;
    QString current = u"previous"_s;
    QCOMPARE(wordOver(text, p, start, current), word);
    QCOMPARE(int(start), wordStart);
    QCOMPARE(current, word.isEmpty() ? u"previous"_s : word);
}

void tst_WordFinder::noWordKeepsCurrentWord()
{
    qint16 start = 7;
    QString current = u"espada"_s;
    // p < 1 leaves both untouched; a delimiter under p sets only wordStart.
    QVERIFY(wordOver(u"x y"_s, 0, start, current).isEmpty());
    QCOMPARE(start, qint16(7));
    QVERIFY(wordOver(u"x  y"_s, 2, start, current).isEmpty());
    QCOMPARE(start, qint16(3));
    QCOMPARE(current, u"espada"_s);
}

void tst_WordFinder::applySuggestion_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("wordStart");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("expected");

    QTest::newRow("only the occurrence at the word")
        << u"sword, sword and sword"_s << 8 << u"sword"_s << u"sword, espada and sword"_s;
    QTest::newRow("first word of the text") << u"sword sword"_s << 1 << u"sword"_s << u"espada sword"_s;
    QTest::newRow("case-sensitive match") << u"Sword sword"_s << 1 << u"sword"_s << u"Sword espada"_s;
    QTest::newRow("inside a longer word after it")
        << u"a swords"_s << 3 << u"sword"_s << u"a espadas"_s;
    QTest::newRow("word gone: text unchanged") << u"abc"_s << 1 << u"sword"_s << u"abc"_s;
    QTest::newRow("wordStart 0 reads from the start") << u"sword"_s << 0 << u"sword"_s << u"espada"_s;
}

void tst_WordFinder::applySuggestion()
{
    QFETCH(QString, text);
    QFETCH(int, wordStart);
    QFETCH(QString, word);
    QFETCH(QString, expected);
    QCOMPARE(::applySuggestion(text, qint16(wordStart), word, u"espada"_s), expected);
}

QTEST_APPLESS_MAIN(tst_WordFinder)
#include "tst_wordfinder.moc"
