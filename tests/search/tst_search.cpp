#include "search/search.h"
#include "search/searchhitmodel.h"
#include "searchstore.h"

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
    void statements_data();
    void statements();
    void hits_data();
    void hits();
    void hitsCarryTheSearchedColumn();
    void hostileTextIsSearchedAsTyped_data();
    void hostileTextIsSearchedAsTyped();
    void failingStoreStopsWithItsMessage();
    void modelShowsHitsInFourColumns();

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
    QTest::newRow("one apostrophe") << u"'"_s << u""_s << SearchMessages::tooShort;
    QTest::newRow("one blank") << u" "_s << u""_s << SearchMessages::tooShort;
    QTest::newRow("two blanks pass and trim to nothing") << u"  "_s << u""_s << u""_s;
    QTest::newRow("apostrophe a") << u"'a"_s << u"`a"_s << u""_s;
    QTest::newRow("trimmed") << u"  espada "_s << u"espada"_s << u""_s;
    QTest::newRow("inner blanks stay") << u" la espada"_s << u"la espada"_s << u""_s;
    QTest::newRow("wildcards stay") << u"a_c%"_s << u"a_c%"_s << u""_s;
}

void tst_Search::inputRules()
{
    QFETCH(QString, typed);
    QFETCH(QString, pattern);
    QFETCH(QString, problem);
    const SearchInput input = prepareSearchText(typed);
    QCOMPARE(input.problem, problem);
    QCOMPARE(input.accepted(), problem.isEmpty());
    QCOMPARE(input.pattern, pattern);
}

void tst_Search::statements_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QList<int>>("columns");

    const QStringList translated = {
        u"SELECT * FROM battling_arena WHERE text_data_t LIKE '%x%' AND translated = 1;"_s,
        u"SELECT * FROM battle_script WHERE text_data_t LIKE '%x%' AND translated = 1;"_s,
        u"SELECT * FROM field WHERE text_data_t LIKE '%x%' AND translated = 1;"_s,
    };
    const QStringList original = {
        u"SELECT * FROM battling_arena WHERE text_data LIKE '%x%'"_s,
        u"SELECT * FROM battle_script WHERE text_data LIKE '%x%';"_s,
        u"SELECT * FROM field WHERE text_data LIKE '%x%';"_s,
    };
    QTest::newRow("Translated") << 0 << translated << QList<int>{8, 8, 8};
    QTest::newRow("Original") << 1 << original << QList<int>{2, 2, 2};
    QTest::newRow("Original and Translated") << 2 << translated + original << QList<int>{8, 8, 8, 2, 2, 2};
    QTest::newRow("Comments") << 3
                              << QStringList{
                                     u"SELECT * FROM battling_arena WHERE comments LIKE '%x%'"_s,
                                     u"SELECT * FROM battle_script WHERE comments LIKE '%x%';"_s,
                                     u"SELECT * FROM field WHERE comments LIKE '%x%';"_s,
                                 }
                              << QList<int>{5, 5, 5};
}

void tst_Search::statements()
{
    QFETCH(int, type);
    QFETCH(QStringList, expected);
    QFETCH(QList<int>, columns);
    QStringList sql;
    QList<int> textColumns;
    for (const SearchStatement &s : searchStatements(SearchType(type), u"x"_s)) {
        sql << s.sql;
        textColumns << s.textColumn;
    }
    QCOMPARE(sql, expected);
    QCOMPARE(textColumns, columns);
}

void tst_Search::hits_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("keys");

    // Translated never lists a block whose flag is 0 (arena01;2 holds the word).
    QTest::newRow("translated only") << 0 << u"espada"_s
                                     << QStringList{u"battling_arena:arena01;1"_s, u"battle_script:boss01;1"_s};
    QTest::newRow("original by table order") << 1 << u"sword"_s
                                             << QStringList{u"battling_arena:arena01;1"_s, u"battle_script:boss01;1"_s};
    QTest::newRow("both: translated first, a block twice")
        << 2 << u"espada"_s
        << QStringList{u"battling_arena:arena01;1"_s, u"battle_script:boss01;1"_s};
    QTest::newRow("both lists a block once per column")
        << 2 << u"o%"_s
        << QStringList{u"battle_script:boss01;1"_s, u"battle_script:boss01;2"_s, u"field:town01;7"_s,
                       u"field:town01;8"_s, u"battling_arena:arena01;1"_s, u"battle_script:boss01;1"_s,
                       u"battle_script:boss01;2"_s, u"field:town01;8"_s};
    QTest::newRow("comments") << 3 << u"espada"_s << QStringList{u"battling_arena:arena01;2"_s};
    QTest::newRow("underscore is one character") << 1 << u"a_c"_s << QStringList{u"field:town01;7"_s};
    QTest::newRow("percent inside") << 1 << u"a%c"_s << QStringList{u"field:town01;7"_s, u"field:town01;8"_s};
    QTest::newRow("two blanks list every block of the kind")
        << 0 << u"  "_s
        << QStringList{u"battling_arena:arena01;1"_s, u"battle_script:boss01;1"_s, u"battle_script:boss01;2"_s,
                       u"field:town01;7"_s, u"field:town01;8"_s};
    QTest::newRow("apostrophe finds the stored grave accent") << 1 << u"d's"_s << QStringList{u"battle_script:boss01;2"_s};
    QTest::newRow("accented capital finds small") << 0 << u"ÁRBOL"_s
                                                  << QStringList{u"field:town01;7"_s, u"field:town01;8"_s};
    QTest::newRow("eñe in comments either case") << 3 << u"niño"_s << QStringList{u"battle_script:boss01;2"_s};
    QTest::newRow("accent still counts") << 0 << u"arbol"_s << QStringList{};
    QTest::newRow("nothing found") << 2 << u"zzz"_s << QStringList{};
}

void tst_Search::hits()
{
    QFETCH(int, type);
    QFETCH(QString, typed);
    QFETCH(QStringList, keys);
    const SearchOutcome outcome = searchBlocks(m_db, SearchType(type), typed);
    QCOMPARE(outcome.status, SearchOutcome::Finished);
    QCOMPARE(outcome.message, SearchMessages::finished);
    QStringList found;
    for (const SearchHit &hit : outcome.hits)
        found << hitKey(hit);
    QCOMPARE(found, keys);
}

void tst_Search::hitsCarryTheSearchedColumn()
{
    const SearchOutcome both = searchBlocks(m_db, SearchType::OriginalAndTranslated, u"fuego%"_s);
    QCOMPARE(both.hits.size(), 1);
    QCOMPARE(both.hits[0], (SearchHit{u"1"_s, u"boss01"_s, u"battle_script"_s, u"Espada de fuego"_s}));

    const SearchOutcome comments = searchBlocks(m_db, SearchType::Comments, u"nota"_s);
    QCOMPARE(comments.hits.size(), 1);
    QCOMPARE(comments.hits[0], (SearchHit{u"7"_s, u"town01"_s, u"field"_s, u"nota"_s}));
}

void tst_Search::hostileTextIsSearchedAsTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("originals");
    QTest::newRow("second statement") << u"x'; DELETE FROM field; --"_s << 0;
    // Searched as typed: the apostrophe is the stored grave accent of "Kid`s".
    QTest::newRow("close the pattern") << u"%'"_s << 1;
    QTest::newRow("or always true") << u"' OR 1=1 OR '"_s << 0;
    QTest::newRow("update") << u"'; UPDATE field SET text_data_t = 'gone';"_s << 0;
    QTest::newRow("comment out the rest") << u"x' --"_s << 0;
    QTest::newRow("backslash and quotes") << u"\\'\"`"_s << 0;
}

void tst_Search::hostileTextIsSearchedAsTyped()
{
    QFETCH(QString, typed);
    QFETCH(int, originals);
    const qint64 before = m_db.changedRows();
    QVariant count;
    QVERIFY(m_db.execute(u"SELECT COUNT(*) FROM field"_s, &count));
    for (int type = 0; type < 4; ++type) {
        const SearchOutcome outcome = searchBlocks(m_db, SearchType(type), typed);
        // The search ends normally instead of failing half-way, and lists
        // only what holds the typed text.
        QCOMPARE(outcome.status, SearchOutcome::Finished);
        const bool searchesOriginals = type == int(SearchType::Original) || type == int(SearchType::OriginalAndTranslated);
        QCOMPARE(outcome.hits.size(), searchesOriginals ? originals : 0);
    }
    QCOMPARE(m_db.changedRows(), before);
    QVariant after;
    QVERIFY(m_db.execute(u"SELECT COUNT(*) FROM field"_s, &after));
    QCOMPARE(after, count);
    QVERIFY(m_db.execute(u"SELECT COUNT(*) FROM field WHERE text_data_t = 'gone'"_s, &after));
    QCOMPARE(after.toInt(), 0);
}

void tst_Search::failingStoreStopsWithItsMessage()
{
    Database closed;
    const SearchOutcome outcome = searchBlocks(closed, SearchType::Original, u"sword"_s);
    QCOMPARE(outcome.status, SearchOutcome::Failed);
    QVERIFY(!outcome.message.isEmpty());
    QVERIFY(outcome.message != SearchMessages::finished);
    QVERIFY(outcome.hits.isEmpty());
}

void tst_Search::modelShowsHitsInFourColumns()
{
    SearchHitModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setHits({{u"1"_s, u"a"_s, u"field"_s, u"one\r\ntwo"_s}, {u"2"_s, u"b"_s, u"field"_s, u"x"_s}});
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.columnCount(), 4);
    QCOMPARE(model.headerData(3, Qt::Horizontal).toString(), u"Text Block or Comment Overview "_s);
    QCOMPARE(model.index(0, 0).data().toString(), u"1"_s);
    QCOMPARE(model.index(0, 1).data().toString(), u"a"_s);
    QCOMPARE(model.index(0, 2).data().toString(), u"field"_s);
    // One line per list line; the tooltip keeps the text's own lines.
    QCOMPARE(model.index(0, 3).data().toString(), u"one two"_s);
    QCOMPARE(model.index(0, 3).data(Qt::ToolTipRole).toString(), u"one\r\ntwo"_s);
    model.clear();
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.hit(0), nullptr);
}

QTEST_APPLESS_MAIN(tst_Search)
#include "tst_search.moc"
