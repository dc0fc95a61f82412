#include "exchange/translationimport.h"
#include "exchange/xliff.h"
#include "keeping/backup.h"
#include "store/database.h"
#include "keeping/history.h"
#include "tests/support/storedblock.h"
#include "tests/support/testhome.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString Hello = u"<Pellan>\r\nHello, it`s me.<End of Block>"_s;
}

// The import on a real store: which units are saved, and how.
class tst_TranslationImport : public QObject
{
    Q_OBJECT

private slots:
    void import_data();
    void import();
};

void tst_TranslationImport::import_data()
{
    QTest::addColumn<int>("unit");          // the unit changed, -1 for none
    QTest::addColumn<QString>("target");    // its new target
    QTest::addColumn<QString>("source");    // its new source, empty: as exported
    QTest::addColumn<int>("number");        // its new block number, 0: as exported
    QTest::addColumn<bool>("dryRun");
    QTest::addColumn<int>("saved");         // the kind of the one line, -1 for no line
    QTest::addColumn<QString>("stored");    // the store's translation of block 1 afterwards
    QTest::newRow("untouched file changes nothing") << -1 << QString() << QString() << 0 << false << -1 << Hello;
    QTest::newRow("a changed target is saved alone")
        << 0 << u"<Pellan>\r\n¡Soy 'yo'!<End of Block>"_s << QString() << 0 << false
        << int(TranslationImport::Kind::Saved) << u"<Pellan>\r\n¡Soy `yo`!<End of Block>"_s;
    QTest::newRow("a dry run writes nothing")
        << 0 << u"Otro."_s << QString() << 0 << true << int(TranslationImport::Kind::WouldSave) << Hello;
    QTest::newRow("a changed original is reported, not saved")
        << 0 << u"Otro."_s << u"Hello there.<End of Block>"_s << 0 << false
        << int(TranslationImport::Kind::SourceChanged) << Hello;
    QTest::newRow("a block not in the store is reported")
        << 1 << u"Otro."_s << QString() << 9 << false << int(TranslationImport::Kind::NoBlock) << Hello;
}

void tst_TranslationImport::import()
{
    QFETCH(int, unit);
    QFETCH(QString, target);
    QFETCH(QString, source);
    QFETCH(int, number);
    QFETCH(bool, dryRun);
    QFETCH(int, saved);
    QFETCH(QString, stored);
    TestHome home;
    QVERIFY(insertBlock(home, {u"field"_s, u"a.txt"_s, 1, Hello, 24, 2, u"keep me"_s, 1, 1, Hello}));
    QVERIFY(insertBlock(home, {u"field"_s, u"a.txt"_s, 2, u"Bye.<End of Block>"_s, 24, 2, {}, 0, 0, {}}));
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    std::vector<ExchangeUnit> units = readXliff(writeXliff(readExchangeBlocks(db, {}).value_or({}).blocks)).value_or({}).units;
    QCOMPARE(units.size(), size_t(2));
    if (unit >= 0) {
        units[size_t(unit)].target = target;
        units[size_t(unit)].hasTarget = true;
        units[size_t(unit)].revised = false;
        if (!source.isEmpty())
            units[size_t(unit)].source = source;
        if (number != 0)
            units[size_t(unit)].address.number = qint16(number);
    }
    const TranslationImport import = importTranslations(db, units, ImportXliffReason, dryRun);
    QVERIFY2(!import.failure, qPrintable(import.failure ? import.failure->message : QString()));
    QCOMPARE(import.lines.size(), size_t(saved < 0 ? 0 : 1));
    if (saved >= 0)
        QCOMPARE(int(import.lines.front().kind), saved);
    const bool wrote = saved == int(TranslationImport::Kind::Saved);
    QCOMPARE(import.saved.size(), size_t(wrote ? 1 : 0));
    QCOMPARE(import.backup.isEmpty(), !wrote);
    QCOMPARE(Backups::listBackups(home.path()).size(), size_t(wrote ? 1 : 0));
    const QVariantList row = storedRow(db, u"field"_s, u"a.txt"_s, 1);
    QCOMPARE(row.value(8).toString(), stored);
    QCOMPARE(row.value(5).toString(), u"keep me"_s);
    QCOMPARE(row.value(7).toInt(), wrote ? 0 : 1); // the file's mark: not "final"
    const auto versions = blockVersions(home.storePath(), {u"field"_s, u"a.txt"_s, 1});
    QVERIFY(versions);
    QCOMPARE(versions->size(), size_t(wrote ? 1 : 0));
    QCOMPARE(storedRow(db, u"field"_s, u"a.txt"_s, 2).value(6).toInt(), 0);
}

QTEST_GUILESS_MAIN(tst_TranslationImport)
#include "tst_translationimport.moc"
