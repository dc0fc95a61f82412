#include "links/linksfile.h"
#include "scripts/originalimport.h"
#include "scripts/translatedimport.h"
#include "keeping/backup.h"
#include "store/database.h"
#include "keeping/storecheck.h"
#include "tests/support/storedblock.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;
using namespace Backups;

namespace {

const QDateTime Noon(QDate(2024, 5, 1), QTime(12, 0, 0));

QString storedText(const TestHome &home)
{
    Database db;
    const QVariantList row = openStore(db, home.storePath()) ? storedRow(db, StoredBlock()) : QVariantList();
    return row.isEmpty() ? QString() : row.at(2).toString();
}

} // namespace

class tst_Backup : public QObject
{
    Q_OBJECT

private slots:
    void names_data();
    void names();
    void copiesAreWholeStoresAndTheNewestTwentyStay();
    void aFolderThatIsNotOneIsRefused_data();
    void aFolderThatIsNotOneIsRefused();
    void theNewestCopyStays_data();
    void theNewestCopyStays();
    void restore_data();
    void restore();
    void anInterruptedRestoreIsEnded_data();
    void anInterruptedRestoreIsEnded();
    void operationsBackUpFirst_data();
    void operationsBackUpFirst();
    void check_data();
    void check();
};

void tst_Backup::names_data()
{
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("file");
    QTest::newRow("plain") << u"daily"_s << u"2024-05-01_12-00-00_daily.db"_s;
    QTest::newRow("spaces and signs") << u" before: the big/edit! "_s << u"2024-05-01_12-00-00_before-the-big-edit.db"_s;
    QTest::newRow("letters beyond ASCII") << u"revisión"_s << u"2024-05-01_12-00-00_revisión.db"_s;
    QTest::newRow("nothing usable") << u"../"_s << u"2024-05-01_12-00-00_manual.db"_s;
    QTest::newRow("long") << QString(50, u'x') << u"2024-05-01_12-00-00_"_s + QString(40, u'x') + u".db"_s;
}

void tst_Backup::names()
{
    QFETCH(QString, reason);
    QFETCH(QString, file);
    QCOMPARE(backupFileName(Noon, reason), file);
    const auto parsed = parseBackupFileName(file);
    QVERIFY(parsed);
    QCOMPARE(parsed->time, Noon);
    QCOMPARE(parsed->reason, reasonSlug(reason));
}

void tst_Backup::copiesAreWholeStoresAndTheNewestTwentyStay()
{
    TestHome home(TestHome::StoreOnly);
    QVERIFY(insertBlock(home, StoredBlock()));
    // A row still in the journal must be in the copy too.
    Database open;
    QVERIFY(openStore(open, home.storePath()));
    QVERIFY(open.execute(u"UPDATE field SET text_data = 'In the journal.'"_s));

    for (int i = 0; i < Kept + 2; ++i)
        QVERIFY(makeBackup(home.path(), u"step %1"_s.arg(i), Noon.addSecs(i / 2)).ok());
    const std::vector<BackupInfo> kept = listBackups(home.path());
    QCOMPARE(int(kept.size()), Kept);
    QCOMPARE(kept.front().file, u"2024-05-01_12-00-10-22_step-21.db"_s);
    QCOMPARE(kept.back().file, u"2024-05-01_12-00-01-3_step-2.db"_s);

    const QString copy = QDir(home.filePath(FolderName)).filePath(kept.front().file);
    QVERIFY(!QFile::exists(copy + u"-wal"_s));
    QCOMPARE(kept.front().bytes, QFileInfo(copy).size());
    Database db;
    QVERIFY(db.open(copy));
    QCOMPARE(storedRow(db, StoredBlock()).value(2).toString(), u"In the journal."_s);
    QCOMPARE(translatedPercent(copy), 0);
}

void tst_Backup::aFolderThatIsNotOneIsRefused_data()
{
    QTest::addColumn<std::function<bool(const TestHome &)>>("spoil");
    QTest::newRow("a file") << std::function([](const TestHome &home) {
        return home.write(FolderName, "not a folder");
    });
    QTest::newRow("a symbolic link") << std::function([](const TestHome &home) {
        return QDir(home.path()).mkdir(u"elsewhere"_s)
            && QFile::link(home.filePath(u"elsewhere"_s), home.filePath(FolderName));
    });
    QTest::newRow("no store") << std::function([](const TestHome &home) { return QFile::remove(home.storePath()); });
}

void tst_Backup::aFolderThatIsNotOneIsRefused()
{
    QFETCH(std::function<bool(const TestHome &)>, spoil);
    TestHome home(TestHome::StoreOnly);
    QVERIFY(spoil(home));
    const Outcome outcome = makeBackup(home.path(), Reason::Manual, Noon);
    QVERIFY(!outcome.ok());
    QVERIFY(!outcome.error().message.isEmpty());
    QVERIFY(QDir(home.filePath(u"elsewhere"_s)).isEmpty());
}

void tst_Backup::theNewestCopyStays_data()
{
    QTest::addColumn<QString>("others"); // the names the copies already there are given, %1 their count
    QTest::addColumn<int>("copies");     // then made in one second
    QTest::newRow("25 copies in one second") << QString() << 25;
    QTest::newRow("20 copies named in the future") << u"2031-01-01_00-00-00_%1.db"_s << 1;
    QTest::newRow("20 numbered copies of another machine's future") << u"2031-01-01_00-00-00-9%1_x.db"_s << 1;
}

// Copies are made, then the oldest restored: the copy just made, and the
// copy of the store a restore replaces, are always there afterwards.
void tst_Backup::theNewestCopyStays()
{
    QFETCH(QString, others);
    QFETCH(int, copies);
    TestHome home(TestHome::StoreOnly);
    QVERIFY(insertBlock(home, StoredBlock()));
    const QDir folder(home.filePath(FolderName));
    for (int i = 0; !others.isEmpty() && i < Kept; ++i) {
        const Outcome made = makeBackup(home.path(), Reason::Manual, Noon);
        QVERIFY(made.ok() && QFile::rename(folder.filePath(*made), folder.filePath(others.arg(i + 10))));
    }
    QStringList made;
    for (int i = 0; i < copies; ++i) {
        const Outcome outcome = makeBackup(home.path(), Reason::Manual, Noon);
        QVERIFY(outcome.ok());
        made << *outcome;
    }
    const std::vector<BackupInfo> kept = listBackups(home.path());
    QCOMPARE(int(kept.size()), Kept);
    QCOMPARE(kept.front().file, made.last());
    for (const QString &file : made.mid(std::max(0, int(made.size()) - Kept)))
        QVERIFY2(folder.exists(file), qPrintable(file));

    const QString oldest = kept.back().file;
    const Outcome restored = restoreBackup(home.path(), oldest, Noon);
    QVERIFY2(restored.ok(), qPrintable(restored.error().message));
    QVERIFY2(folder.exists(*restored), qPrintable(*restored));
    QCOMPARE(listBackups(home.path()).front().file, *restored);
}

void tst_Backup::restore_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("storeBytes"); // empty: the store stays a good one
    QTest::addColumn<bool>("restored");
    QTest::addColumn<QString>("kept"); // the copy of the replaced store
    QTest::newRow("a good copy") << u"2024-05-01_12-00-00-1_daily.db"_s << QByteArray() << true
                                 << u"2024-05-01_13-00-00-2_before-restore.db"_s;
    QTest::newRow("over a store that is not a database")
        << u"2024-05-01_12-00-00-1_daily.db"_s << QByteArray(8192, 'x') << true << u"2024-05-01_13-00-00-2_damaged-store.db"_s;
    QTest::newRow("a damaged copy") << u"2024-05-01_11-00-00_broken.db"_s << QByteArray() << false << QString();
    QTest::newRow("a name outside the folder") << u"../tallowpen.db"_s << QByteArray() << false << QString();
    QTest::newRow("no such copy") << u"2024-05-01_10-00-00_gone.db"_s << QByteArray() << false << QString();
}

void tst_Backup::restore()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, storeBytes);
    QFETCH(bool, restored);
    QFETCH(QString, kept);
    TestHome home(TestHome::StoreOnly);
    QVERIFY(insertBlock(home, StoredBlock()));
    QVERIFY(makeBackup(home.path(), Reason::Daily, Noon).ok());
    QVERIFY(home.write(FolderName + u"/2024-05-01_11-00-00_broken.db"_s, QByteArray(4096, 'y')));
    QVERIFY(home.execute(u"UPDATE field SET text_data = 'Typed after the copy.'"_s));
    if (!storeBytes.isEmpty())
        QVERIFY(home.write(u"tallowpen.db"_s, storeBytes));

    const Outcome outcome = restoreBackup(home.path(), file, Noon.addSecs(3600));
    QCOMPARE(outcome.ok(), restored);
    QCOMPARE(outcome.value_or(QString()), kept);
    QCOMPARE(outcome.error().message.isEmpty(), restored);
    if (restored)
        QCOMPARE(storedText(home), StoredBlock().text);
    else
        QCOMPARE(storedText(home), u"Typed after the copy."_s);
    QCOMPARE(int(listBackups(home.path()).size()), restored ? 3 : 2);
}

void tst_Backup::anInterruptedRestoreIsEnded_data()
{
    QTest::addColumn<QString>("note");       // the marker's text; empty: none
    QTest::addColumn<QByteArray>("store");   // the store file as the kill left it; null: untouched
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("text");       // the store's text afterwards
    QTest::addColumn<QString>("said");
    const QString restored = StoredBlock().text, before = u"Typed after the copy."_s;
    const QString note = u"2024-05-01_12-00-00-1_daily.db\n2024-05-01_13-00-00-2_before-restore.db\n"_s;
    QTest::newRow("no restore was running") << QString() << QByteArray() << true << before << QString();
    QTest::newRow("killed before the store was touched") << note << QByteArray() << true << restored << u"finished"_s;
    QTest::newRow("killed with the store left empty") << note << QByteArray("") << true << restored << u"finished"_s;
    QTest::newRow("the copy gone: the store put back")
        << u"2024-05-01_12-00-00-7_gone.db\n2024-05-01_13-00-00-2_before-restore.db\n"_s << QByteArray("") << true
        << before << u"put back"_s;
    QTest::newRow("nothing left to put back") << u"a.db\nb.db\n"_s << QByteArray("") << false << QString()
                                              << u"Restore from Backup"_s;
}

void tst_Backup::anInterruptedRestoreIsEnded()
{
    QFETCH(QString, note);
    QFETCH(QByteArray, store);
    QFETCH(bool, ok);
    QFETCH(QString, text);
    QFETCH(QString, said);
    TestHome home(TestHome::StoreOnly);
    QVERIFY(insertBlock(home, StoredBlock()));
    QVERIFY(makeBackup(home.path(), Reason::Daily, Noon).ok());
    QVERIFY(home.execute(u"UPDATE field SET text_data = 'Typed after the copy.'"_s));
    QVERIFY(makeBackup(home.path(), Reason::BeforeRestore, Noon.addSecs(3600)).ok());
    if (!note.isEmpty())
        QVERIFY(home.write(FolderName + u'/' + RestoreMarkerName, note.toUtf8()));
    if (!store.isNull())
        QVERIFY(home.write(u"tallowpen.db"_s, store));

    const Result<QString> outcome = finishInterruptedRestore(home.path());
    QCOMPARE(outcome.ok(), ok);
    const QString told = outcome ? *outcome : outcome.error().message;
    QCOMPARE(told.isEmpty(), note.isEmpty());
    QVERIFY2(told.contains(said), qPrintable(told));
    QCOMPARE(storedText(home), text);
    QCOMPARE(QFile::exists(home.filePath(FolderName + u'/' + RestoreMarkerName)), !ok);
}

void tst_Backup::operationsBackUpFirst_data()
{
    QTest::addColumn<QString>("reason");
    QTest::addColumn<std::function<bool(Database &, const TestHome &)>>("operation");
    QTest::newRow("re-import of originals") << Reason::ImportOriginal
                                            << std::function([](Database &db, const TestHome &home) {
                                                   ProgressPacer pacer(nullptr);
                                                   QDir(home.path()).mkpath(u"in/battle_script"_s);
                                                   return OriginalImport::Importer(db, home.filePath(u"in"_s), pacer,
                                                                                   OriginalImport::Importer::Mode::Replace)
                                                       .run()
                                                       .ok();
                                               });
    QTest::newRow("import of translations")
        << Reason::ImportTranslated << std::function([](Database &db, const TestHome &home) {
               ProgressPacer pacer(nullptr);
               QDir(home.path()).mkpath(u"in/battle_script"_s);
               return TranslatedImport::run(db, home.filePath(u"in"_s), pacer).failures.isEmpty();
           });
    QTest::newRow("links file") << Reason::LinksImport << std::function([](Database &db, const TestHome &home) {
        return home.write(u"links.txt"_s, "sword,espada\r\n")
            && importLinksFile(db, home.filePath(u"links.txt"_s)).ok();
    });
}

void tst_Backup::operationsBackUpFirst()
{
    QFETCH(QString, reason);
    QFETCH(std::function<bool(Database &, const TestHome &)>, operation);
    for (const bool folderUsable : {true, false}) {
        TestHome home(TestHome::StoreOnly);
        QVERIFY(insertBlock(home, StoredBlock()));
        if (!folderUsable)
            QVERIFY(home.write(FolderName, "in the way"));
        Database db;
        QVERIFY(openStore(db, home.storePath()));
        const qint64 changedBefore = db.changedRows();
        QCOMPARE(operation(db, home), folderUsable);
        if (folderUsable) {
            QCOMPARE(listBackups(home.path()).size(), size_t(1));
            QCOMPARE(listBackups(home.path()).front().reason, reason);
        } else {
            QCOMPARE(db.changedRows(), changedBefore);
        }
    }
}

void tst_Backup::check_data()
{
    QTest::addColumn<QByteArray>("bytes"); // replaces the store's; empty: the store as made
    QTest::addColumn<bool>("truncate");
    QTest::addColumn<bool>("ok");
    QTest::newRow("a store as made") << QByteArray() << false << true;
    QTest::newRow("cut short") << QByteArray() << true << false;
    QTest::newRow("not a database") << QByteArray(4096, 'z') << false << false;
    QTest::newRow("an empty file") << QByteArray("") << false << false;
}

void tst_Backup::check()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, truncate);
    QFETCH(bool, ok);
    TestHome home(TestHome::StoreOnly);
    {
        Database db;
        QVERIFY(openStore(db, home.storePath()) && db.begin());
        for (int i = 0; i < 200; ++i)
            QVERIFY(db.execute(u"INSERT INTO field (file_name, dialogue_id, text_data) VALUES ('a.txt', %1, '%2')"_s.arg(
                QString::number(i), QString(200, u'a'))));
        QVERIFY(db.commit());
    }
    if (!bytes.isNull())
        QVERIFY(home.write(u"tallowpen.db"_s, bytes));
    if (truncate)
        QVERIFY(QFile::resize(home.storePath(), QFileInfo(home.storePath()).size() / 2));

    const Result<Done> check = checkStoreFile(home.storePath());
    QCOMPARE(check.ok(), ok);
    if (ok)
        return;
    QVERIFY(!check.error().message.isEmpty());
    QVERIFY(damagedStoreMessage(home.path(), check.error().message).contains(u"There is no backup"_s));
    QVERIFY(QDir(home.path()).mkpath(FolderName));
    QVERIFY(home.write(FolderName + u"/2024-05-01_12-00-00_daily.db"_s, "old"));
    QVERIFY(home.write(FolderName + u"/2024-05-02_12-00-00_links-import.db"_s, "new"));
    QVERIFY(damagedStoreMessage(home.path(), check.error().message)
                .contains(u"tallowpen-cli restore 2024-05-02_12-00-00_links-import.db"_s));
}

QTEST_GUILESS_MAIN(tst_Backup)
#include "tst_backup.moc"
