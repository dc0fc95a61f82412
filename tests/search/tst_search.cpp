#include "project/sqlitestore.h"
#include "search/search.h"
#include "search/searchhitmodel.h"
#include "searchstore.h"
#include "tests/support/tablefile.h"

#include <QAbstractItemModelTester>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_Search : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void inputRules_data();
    void inputRules();
    void hits_data();
    void hits();
    void hostileTextChangesNothing_data();
    void hostileTextChangesNothing();
    void failingStoreStopsWithItsMessage();
    void listShowsOneLinePerHit();

private:
    QTemporaryDir m_dir;
    QString m_path;
    Database m_db;
};

void tst_Search::initTestCase()
{
    QVERIFY(makeSearchStore(m_dir, &m_path));
    QVERIFY(openStore(m_db, m_path));
    QVERIFY(m_db.useUnicodeLike());
}

void tst_Search::inputRules_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("problem");
    QTest::newRow("empty") << u""_s << u""_s << SearchMessages::emptyInput;
    QTest::newRow("one letter") << u"a"_s << u""_s << SearchMessages::tooShort;
    QTest::newRow("one blank: length before trimming") << u" "_s << u""_s << SearchMessages::tooShort;
    QTest::newRow("two blanks pass and trim to nothing") << u"  "_s << u""_s << u""_s;
    QTest::newRow("trimmed, inner blanks stay") << u"  la espada "_s << u"la espada"_s << u""_s;
    QTest::newRow("wildcards stay") << u"a_c%"_s << u"a_c%"_s << u""_s;
    QTest::newRow("longest pattern") << QString(100, u'a') << QString(100, u'a') << u""_s;
    QTest::newRow("one character longer") << QString(101, u'a') << u""_s << SearchMessages::tooLong();
}

void tst_Search::inputRules()
{
    QFETCH(QString, typed);
    QFETCH(QString, pattern);
    QFETCH(QString, problem);
    const SearchInput input = prepareSearchText(typed);
    QCOMPARE(input.problem, problem);
    QCOMPARE(input.pattern, pattern);
    QCOMPARE(searchBlocks(m_db, SearchType::Translated, typed).message,
             problem.isEmpty() ? SearchMessages::finished : problem);
}

void tst_Search::hits_data()
{
    TableFile::addRows(QFINDTESTDATA("data/hits.txt"), {"type", "typed", "blocks", "text"});
}

void tst_Search::hits()
{
    QFETCH(QString, type);
    QFETCH(QString, typed);
    QFETCH(QString, blocks);
    QFETCH(QString, text);
    QVERIFY(searchTypeCaptions().contains(type));
    const SearchOutcome outcome = searchBlocks(m_db, SearchType(searchTypeCaptions().indexOf(type)), typed);
    QCOMPARE(outcome.status, SearchOutcome::Finished);
    QStringList found;
    for (const SearchHit &hit : outcome.hits)
        found << hitKey(hit);
    QCOMPARE(found.join(u' '), blocks);
    QCOMPARE(outcome.hits.value(0).text, text);
}

void tst_Search::hostileTextChangesNothing_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("originals"); // hits among the originals
    QTest::newRow("close the pattern: the apostrophe of Kid`s") << u"%'"_s << 1;
    QTest::newRow("a second statement") << u"x'; DELETE FROM field; --"_s << 0;
    QTest::newRow("always true") << u"' OR 1=1 OR '"_s << 0;
    QTest::newRow("an update") << u"'; UPDATE field SET text_data_t = 'gone';"_s << 0;
    QTest::newRow("backslash and quotes") << u"\\'\"`"_s << 0;
}

void tst_Search::hostileTextChangesNothing()
{
    QFETCH(QString, typed);
    QFETCH(int, originals);
    const qint64 changed = m_db.changedRows();
    for (SearchType type : {SearchType::Translated, SearchType::Original, SearchType::Comments}) {
        const SearchOutcome outcome = searchBlocks(m_db, type, typed);
        QCOMPARE(outcome.status, SearchOutcome::Finished);
        QCOMPARE(outcome.hits.size(), type == SearchType::Original ? originals : 0);
    }
    QCOMPARE(m_db.changedRows(), changed);
    const Result<QVariant> rows = m_db.execute(u"SELECT COUNT(*) FROM field WHERE text_data_t <> 'gone'"_s);
    QVERIFY(rows);
    QCOMPARE(rows->toInt(), 3);
}

void tst_Search::failingStoreStopsWithItsMessage()
{
    Database closed;
    const SearchOutcome outcome = searchBlocks(closed, SearchType::Original, u"sword"_s);
    QCOMPARE(outcome.status, SearchOutcome::Failed);
    QVERIFY(!outcome.message.isEmpty() && outcome.message != SearchMessages::finished);
    QVERIFY(outcome.hits.isEmpty());
}

void tst_Search::listShowsOneLinePerHit()
{
    SearchHitModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setHits({{u"1"_s, u"a"_s, u"field"_s, u"one\r\ntwo\nthree"_s}, {u"2"_s, u"b"_s, u"field"_s, u"x"_s}});
    QStringList cells;
    for (int column = 0; column < model.columnCount(); ++column)
        cells << model.index(0, column).data().toString();
    QCOMPARE(cells, (QStringList{u"1"_s, u"a"_s, u"field"_s, u"one two three"_s}));
    QCOMPARE(model.index(0, 3).data(Qt::ToolTipRole).toString(), u"one\r\ntwo\nthree"_s);
    model.clear();
    QCOMPARE(model.rowCount(), 0);
}

QTEST_APPLESS_MAIN(tst_Search)
#include "tst_search.moc"
