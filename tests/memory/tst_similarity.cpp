#include "memory/blocktext.h"
#include "memory/similarity.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_Similarity : public QObject
{
    Q_OBJECT

private slots:
    void similarity_data();
    void similarity();
    void differingWords_data();
    void differingWords();
    void textFigures_data();
    void textFigures();
    void speakerTag_data();
    void speakerTag();
};

void tst_Similarity::similarity_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("percent");
    const QString road = u"Take the north road to the tower, and wait for me at the inn by the gate."_s;
    QTest::newRow("same text") << road << road << 100;
    QTest::newRow("one word changed") << u"Hello there, friend."_s << u"Hello there, enemy."_s << 75;
    QTest::newRow("tags and the end tag ignored")
        << u"<Ovessin>\r\nHello there,<New>\r\nfriend.<Wait><Close><End of Block>"_s << u"Hello there, friend."_s
        << 100;
    QTest::newRow("accents count") << u"Él está aquí"_s << u"El esta aqui"_s << 75;
    QTest::newRow("letter case counts") << u"hello"_s << u"Hello"_s << 80;
    QTest::newRow("rounded down") << u"abc"_s << u"abd"_s << 66;
    QTest::newRow("only equal texts reach 100") << QString(200, u'a') + u'b' << QString(201, u'a') << 99;
    QTest::newRow("past one machine word")
        << road + u" Bring the key, the gold and the sword."_s
        << u"Take the north road to the keep, and wait for us at the inn by the gate. Bring the key, the gold and the sword!"_s
        << 93;
    QTest::newRow("nothing alike") << u"abc"_s << u"xyz"_s << 0;
    QTest::newRow("an empty side") << u"abc"_s << QString() << 0;
}

void tst_Similarity::similarity()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, percent);
    QCOMPARE(::similarity(comparableText(a), comparableText(b)), percent);
    QCOMPARE(::similarity(comparableText(b), comparableText(a)), percent);
}

void tst_Similarity::differingWords_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("other");
    QTest::addColumn<QStringList>("marked");
    QTest::newRow("a name and a sign changed")
        << u"Hello Ovessin's friend."_s << u"Hello Tolm's friend!"_s << QStringList{u"Tolm's"_s, u"!"_s};
    QTest::newRow("a word added, tags never marked")
        << u"Go<Wait>"_s << u"<Tolm>\r\nGo now<End of Block>"_s << QStringList{u"now"_s};
    QTest::newRow("same words") << u"Go now."_s << u"Go\r\nnow."_s << QStringList();
}

void tst_Similarity::differingWords()
{
    QFETCH(QString, current);
    QFETCH(QString, other);
    QFETCH(QStringList, marked);
    QStringList found;
    for (const TextSpan &span : ::differingWords(current, other))
        found << other.mid(span.start, span.length);
    QCOMPARE(found, marked);
}

void tst_Similarity::textFigures_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("words");
    QTest::addColumn<qint64>("characters");
    QTest::newRow("apostrophe inside a word") << u"Don`t stop, don't."_s << qint64(3) << qint64(16);
    QTest::newRow("tags and line breaks left out") << u"<Dace>\r\nHi\r\nyou!<New>\r\n<Delay 30>ok<End of Block>"_s
                                                   << qint64(3) << qint64(8);
    QTest::newRow("a lone < is a sign") << u"a < b"_s << qint64(2) << qint64(3);
}

void tst_Similarity::textFigures()
{
    QFETCH(QString, text);
    const TextFigures figures = ::textFigures(text);
    QTEST(figures.words, "words");
    QTEST(figures.characters, "characters");
}

void tst_Similarity::speakerTag_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("speaker");
    QTest::newRow("speaker line") << u"<Pellan>\r\nHi."_s << u"<Pellan>"_s;
    QTest::newRow("not a name") << u"<Delay 30>\r\nHi."_s << QString();
    QTest::newRow("not alone on its line") << u"<Pellan> Hi."_s << QString();
}

void tst_Similarity::speakerTag()
{
    QFETCH(QString, text);
    QTEST(::speakerTag(text), "speaker");
}

QTEST_APPLESS_MAIN(tst_Similarity)
#include "tst_similarity.moc"
