#include "memory/blocktext.h"
#include "memory/similarity.h"
#include "tests/support/tablefile.h"

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
    TableFile::addRows(QFINDTESTDATA("data/similarity.txt"), {"a", "b", "percent"});
    QTest::newRow("only equal texts reach 100") << QString(200, u'a') + u'b' << QString(201, u'a') << u"99"_s;
}

void tst_Similarity::similarity()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(QString, percent);
    QCOMPARE(::similarity(comparableText(a), comparableText(b)), percent.toInt());
    QCOMPARE(::similarity(comparableText(b), comparableText(a)), percent.toInt());
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
