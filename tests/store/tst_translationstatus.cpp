#include "store/layout.h"
#include "store/translationstatus.h"
#include "tests/support/testhome.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_TranslationStatus : public QObject
{
    Q_OBJECT

private slots:
    void percentOf_data();
    void percentOf();
    void counts_data();
    void counts();
};

void tst_TranslationStatus::percentOf_data()
{
    QTest::addColumn<qint64>("done");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<int>("expected");
    QTest::newRow("37.5 up to even") << 3LL << 8LL << 38;
    QTest::newRow("12.5 down to even") << 1LL << 8LL << 12;
    QTest::newRow("0.5 down to zero") << 1LL << 200LL << 0;
    QTest::newRow("two thirds") << 2LL << 3LL << 67;
    QTest::newRow("all") << 5LL << 5LL << 100;
    // 23 / 40 * 100 is 57.49999999999999 in doubles; the share is 57.5.
    QTest::newRow("half not lost to doubles") << 23LL << 40LL << 58;
    QTest::newRow("one short of all, many blocks") << 99999LL << 100000LL << 100;
}

void tst_TranslationStatus::percentOf()
{
    QFETCH(qint64, done);
    QFETCH(qint64, total);
    QFETCH(int, expected);
    QCOMPARE(::percentOf(done, total), expected);
}

void tst_TranslationStatus::counts_data()
{
    // Per table: blocks, translated ones; then as many revised but untranslated.
    QTest::addColumn<QList<int>>("fill"); // battling_arena, battle_script, field: blocks, translated, revised only
    QTest::addColumn<int>("blocks");      // -1: the store cannot be counted
    QTest::addColumn<int>("translated");
    QTest::newRow("every table, revised alone does not count") << QList<int>{2, 1, 0, 3, 2, 1, 3, 0, 2} << 8 << 3;
    QTest::newRow("more blocks than 16 bits") << QList<int>{0, 0, 0, 10000, 7000, 0, 30000, 10000, 0} << 40000
                                              << 17000;
    QTest::newRow("no blocks") << QList<int>(9, 0) << 0 << 0;
    QTest::newRow("closed store") << QList<int>() << -1 << 0;
}

void tst_TranslationStatus::counts()
{
    QFETCH(QList<int>, fill);
    QFETCH(int, blocks);
    QFETCH(int, translated);
    TestHome home(TestHome::StoreOnly);
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    for (qsizetype t = 0; t < fill.size() / 3; ++t) {
        const int *f = fill.constData() + t * 3;
        if (f[0] > 0)
            QVERIFY(db.execute(u"INSERT INTO %1 (file_name,dialogue_id,translated,revised) WITH RECURSIVE n(i) AS "
                           "(SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %2) SELECT 'f', i, i <= %3, "
                           "i > %3 AND i <= %3 + %4 FROM n;"_s.arg(ScriptTables::all[size_t(t)])
                               .arg(f[0])
                               .arg(f[1])
                               .arg(f[2])));
    }
    if (fill.isEmpty())
        db.close();
    const Result<TranslationCount> count = translationPercent(db);
    QCOMPARE(count.ok(), blocks >= 0);
    QCOMPARE(count.error().message.isEmpty(), blocks >= 0);
    if (!count)
        return;
    QCOMPARE(count->hasBlocks(), blocks > 0);
    QCOMPARE(count->blocks, qMax(blocks, 0));
    QCOMPARE(count->translated, translated);
}

QTEST_APPLESS_MAIN(tst_TranslationStatus)
#include "tst_translationstatus.moc"
