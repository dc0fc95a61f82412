#include "store/database.h"
#include "store/layout.h"
#include "store/translationstatus.h"
#include "tests/support/testhome.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_TranslationStatus : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void percentOf_data();
    void percentOf();
    void countsEveryTable();
    void moreBlocksThanSixteenBits();
    void emptyStoreHasNoPercentage();
    void failedStatementIsAValue();
    void statusLine();

private:
    void fill(const QString &table, int count, int translated, int revisedOnly = 0);
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<Database> m_db;
};

void tst_TranslationStatus::init()
{
    m_db.reset();
    m_home = std::make_unique<TestHome>(TestHome::StoreOnly);
    QVERIFY(m_home->isValid());
    m_db = std::make_unique<Database>();
    QVERIFY(openStore(*m_db, m_home->storePath()));
}

// `count` blocks in `table`: the first `translated` marked translated (half
// of them revised too), then `revisedOnly` revised but not translated.
void tst_TranslationStatus::fill(const QString &table, int count, int translated, int revisedOnly)
{
    const QString statement =
        u"INSERT INTO %1 (file_name,dialogue_id,text_data,width,height,comments,translated,revised,text_data_t,"
        "new_width,new_height) WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %2) "
        "SELECT 'f' || (i / 100) || '.txt', i, 'x', 1, 1, '', i <= %3, (i <= %3 AND i % 2 = 0) OR "
        "(i > %3 AND i <= %3 + %4), '', 0, 0 FROM n;"_s.arg(table)
            .arg(count)
            .arg(translated)
            .arg(revisedOnly);
    QVERIFY2(m_db->execute(statement), qPrintable(m_db->lastError().message));
}

void tst_TranslationStatus::percentOf_data()
{
    QTest::addColumn<qint64>("done");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<int>("expected");
    QTest::newRow("37.5 up to even") << 3LL << 8LL << 38;
    QTest::newRow("12.5 down to even") << 1LL << 8LL << 12;
    QTest::newRow("62.5 down to even") << 5LL << 8LL << 62;
    QTest::newRow("87.5 up to even") << 7LL << 8LL << 88;
    QTest::newRow("0.5 down to zero") << 1LL << 200LL << 0;
    QTest::newRow("1.5 up to two") << 3LL << 200LL << 2;
    QTest::newRow("a third") << 1LL << 3LL << 33;
    QTest::newRow("two thirds") << 2LL << 3LL << 67;
    QTest::newRow("none") << 0LL << 5LL << 0;
    QTest::newRow("all") << 5LL << 5LL << 100;
    // 23 / 40 * 100 is 57.49999999999999 in doubles; the share is 57.5.
    QTest::newRow("half not lost to doubles") << 23LL << 40LL << 58;
    QTest::newRow("beyond 16 bits") << 20000LL << 40000LL << 50;
    QTest::newRow("one short of all, many blocks") << 99999LL << 100000LL << 100;
}

void tst_TranslationStatus::percentOf()
{
    QFETCH(qint64, done);
    QFETCH(qint64, total);
    QFETCH(int, expected);
    QCOMPARE(::percentOf(done, total), expected);
}

void tst_TranslationStatus::countsEveryTable()
{
    fill(ScriptTables::battlingArena, 2, 1);
    fill(ScriptTables::battleScript, 3, 2, 1); // a revised block that is not translated does not count
    fill(ScriptTables::field, 3, 0, 2);
    const TranslationCount count = translationPercent(*m_db);
    QVERIFY(count.ok);
    QVERIFY(count.hasBlocks());
    QCOMPARE(count.blocks, 8);
    QCOMPARE(count.translated, 3);
    QCOMPARE(count.percent(), 38);
}

void tst_TranslationStatus::moreBlocksThanSixteenBits()
{
    fill(ScriptTables::field, 30000, 10000);
    fill(ScriptTables::battleScript, 10000, 7000);
    const TranslationCount count = translationPercent(*m_db);
    QVERIFY(count.ok);
    QCOMPARE(count.blocks, 40000);
    QCOMPARE(count.translated, 17000);
    QCOMPARE(count.percent(), 42); // 42.5, half to even
}

void tst_TranslationStatus::emptyStoreHasNoPercentage()
{
    QVERIFY(m_db->execute(u"INSERT INTO suggestion (word) VALUES ('w');"_s));
    const TranslationCount count = translationPercent(*m_db);
    QVERIFY(count.ok);
    QVERIFY(!count.hasBlocks());
    QCOMPARE(count.blocks, 0);
}

void tst_TranslationStatus::failedStatementIsAValue()
{
    m_db->close();
    const TranslationCount count = translationPercent(*m_db);
    QVERIFY(!count.ok);
    QVERIFY(!count.hasBlocks());
    QVERIFY(!count.error.message.isEmpty());
}

void tst_TranslationStatus::statusLine()
{
    QCOMPARE(::statusLine(38), u">Translation status: 38% translated"_s);
    QCOMPARE(::statusLine(100), u">Translation status: 100% translated"_s);
}

QTEST_APPLESS_MAIN(tst_TranslationStatus)
#include "tst_translationstatus.moc"
