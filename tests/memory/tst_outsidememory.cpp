#include "memory/outsidememory.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Outside translations: kept with their origin, offered beside the store's.
class tst_OutsideMemory : public QObject
{
    Q_OBJECT

private slots:
    void addedOnceAndFoundAgainAfterReopening();
    void merged_data();
    void merged();
};

void tst_OutsideMemory::addedOnceAndFoundAgainAfterReopening()
{
    QTemporaryDir dir;
    const QString path = OutsideMemory::filePath(dir.path());
    const std::vector<std::pair<QString, QString>> pairs = {{u"Open the gate.<End of Block>"_s, u"Abre."_s},
                                                            {u"Close it, friend."_s, u"Ciérrala."_s}};
    {
        OutsideMemory memory;
        QVERIFY(memory.open(path));
        QCOMPARE(memory.add(u"Other game"_s, pairs), 2);
        QCOMPARE(memory.add(u"Other game"_s, pairs), 0);
        QCOMPARE(memory.add(u"Third"_s, {pairs.front()}), 1);
    }
    OutsideMemory memory;
    QVERIFY(memory.open(path));
    QCOMPARE(memory.size(), 3);
    const std::vector<MemoryMatch> found = memory.matches(u"Open the gate!<Wait>"_s, 5);
    QCOMPARE(found.size(), size_t(2));
    QCOMPARE(found[0].origin, u"Other game"_s);
    QCOMPARE(found[1].origin, u"Third"_s);
    QCOMPARE(found[0].translation, u"Abre."_s);
    QVERIFY(found[0].similarity >= TranslationMemory::MinimumSimilarity && found[0].similarity < 100);
    QVERIFY(memory.matches(u"Something else entirely."_s, 5).empty());
}

void tst_OutsideMemory::merged_data()
{
    QTest::addColumn<QList<int>>("own");
    QTest::addColumn<QList<int>>("outside");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QStringList>("order"); // origins, "" for the store's
    QTest::newRow("best first") << QList<int>{70} << QList<int>{90} << 5 << QStringList{u"x"_s, QString()};
    QTest::newRow("the store's first on a tie") << QList<int>{80} << QList<int>{80} << 5 << QStringList{QString(), u"x"_s};
    QTest::newRow("cut to the limit") << QList<int>{90, 60} << QList<int>{70} << 2 << QStringList{QString(), u"x"_s};
}

void tst_OutsideMemory::merged()
{
    QFETCH(QList<int>, own);
    QFETCH(QList<int>, outside);
    QFETCH(int, limit);
    QFETCH(QStringList, order);
    std::vector<MemoryMatch> a, b;
    for (int percent : own)
        a.push_back({{}, percent, {}, {}, {}});
    for (int percent : outside)
        b.push_back({{}, percent, {}, {}, u"x"_s});
    QStringList origins;
    for (const MemoryMatch &match : mergedMatches(a, b, limit))
        origins << match.origin;
    QCOMPARE(origins, order);
}

QTEST_APPLESS_MAIN(tst_OutsideMemory)
#include "tst_outsidememory.moc"
