#include "scripts/translatedimport.h"
#include "tests/support/storedblock.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_TranslatedImport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void statement();
    void onlyTheTranslationChanges();
    void progressTexts();
    void aFailingFolderDoesNotStopTheNext_data();
    void aFailingFolderDoesNotStopTheNext();
    void aFolderWithoutBattleScriptIsRefused();
    void importingTwiceIsImportingOnce();

private:
    bool writeScript(const QString &folder, const QString &name, const QByteArray &bytes);
    QVariantList row(const QString &table, const QString &file, int id) { return storedRow(m_db, table, file, id); }

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<QTemporaryDir> m_scripts;
    Database m_db;
};

bool tst_TranslatedImport::writeScript(const QString &folder, const QString &name, const QByteArray &bytes)
{
    if (!QDir(m_scripts->path()).mkpath(folder))
        return false;
    QFile file(m_scripts->filePath(folder + u'/' + name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Stored: three blocks of 0012.txt in field, one of a.txt in battling_arena,
// each with its own comment, sizes and a revised mark.
void tst_TranslatedImport::init()
{
    m_db.close();
    m_home = std::make_unique<TestHome>(TestHome::StoreOnly);
    m_scripts = std::make_unique<QTemporaryDir>();
    for (int id = 1; id <= 3; ++id) {
        StoredBlock b;
        b.id = id;
        b.comments = u"note %1"_s.arg(id);
        b.revised = 1;
        b.translated = 1;
        b.textT = u"old"_s;
        b.newWidth = 30;
        b.newHeight = 4;
        QVERIFY(insertBlock(*m_home, b));
    }
    StoredBlock arena;
    arena.table = u"battling_arena"_s;
    arena.file = u"a.txt"_s;
    arena.id = 1;
    QVERIFY(insertBlock(*m_home, arena));
    QVERIFY(QDir(m_scripts->path()).mkpath(u"battle_script"_s));
    QVERIFY(openStore(m_db, m_home->storePath()));
}

void tst_TranslatedImport::statement()
{
    QCOMPARE(translatedUpdateStatement(u"field"_s, u"0012.txt"_s, 3, u"Hola.<End of Block>"_s),
             u"UPDATE field SET text_data_t = 'Hola.<End of Block>', translated = 1, revised = 0 "
             "WHERE file_name = '0012.txt' AND dialogue_id = 3;"_s);
}

void tst_TranslatedImport::onlyTheTranslationChanges()
{
    // Other sizes in the header, block 2 left out, block 9 unknown.
    QVERIFY(writeScript(u"field"_s, u"0012.txt"_s,
                        "<TextBlock 1 w:10 h:9>\r\nIt's one.\r\n<End of Block>\r\n"
                        "<TextBlock 3 w:11 h:8>\r\nThree.<End of Block>\r\n"
                        "<TextBlock 9 w:11 h:8>\r\nNine.<End of Block>\r\n"));
    const TranslatedImportReport report = importTranslatedScripts(m_db, m_scripts->path(), {});
    QVERIFY(report.validFolder);
    QVERIFY(report.failures.isEmpty());
    QCOMPARE(report.blocks, 3);
    QCOMPARE(report.lastStatus, u"All the translated scripts were imported."_s);

    const QVariantList one = row(u"field"_s, u"0012.txt"_s, 1);
    QCOMPARE(one.value(8).toString(), u"It`s one.\r\n<End of Block>"_s);
    QCOMPARE(one.value(5).toString(), u"note 1"_s);
    QCOMPARE(one.value(6).toInt(), 1);
    QCOMPARE(one.value(7).toInt(), 0);
    QCOMPARE(one.mid(2, 3), QVariantList({u"Hello.<End of Block>"_s, 24, 2}));
    QCOMPARE(one.mid(9, 2), QVariantList({30, 4}));
    const QVariantList two = row(u"field"_s, u"0012.txt"_s, 2);
    QCOMPARE(two.value(8).toString(), u"old"_s);
    QCOMPARE(two.value(7).toInt(), 1);
    QCOMPARE(row(u"field"_s, u"0012.txt"_s, 3).value(5).toString(), u"note 3"_s);
    QCOMPARE(m_db.query(u"SELECT * FROM field"_s).rowCount(), 3);
}

void tst_TranslatedImport::progressTexts()
{
    QVERIFY(writeScript(u"battling_arena"_s, u"a.txt"_s, "<TextBlock 1 w:1 h:1>\r\nA<End of Block>\r\n"));
    QStringList shown;
    int lines = 0;
    TranslatedImportHooks hooks;
    hooks.status = [&shown](const QString &text) { shown << text; };
    hooks.afterLine = [&lines] { ++lines; };
    importTranslatedScripts(m_db, m_scripts->path(), hooks);
    QCOMPARE(shown, QStringList({u"Importing Battling_arena scripts, please wait..."_s,
                                 u"Importing file... battling_arena\\a.txt"_s,
                                 u"All the translated scripts were imported."_s,
                                 u"Importing Battle_script scripts, please wait..."_s,
                                 u"All the translated scripts were imported."_s,
                                 u"Importing Field scripts, please wait..."_s,
                                 u"All the translated scripts were imported."_s}));
    QCOMPARE(lines, 2);
}

void tst_TranslatedImport::aFailingFolderDoesNotStopTheNext_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::newRow("block number beyond 16 bits")
        << u"a.txt"_s << QByteArray("<TextBlock 1 w:1 h:1>\r\nA<End of Block>\r\n<TextBlock 99999 w:1 h:1>\r\n")
        << u"line 3"_s;
    QTest::newRow("apostrophe in the file name")
        << u"it's.txt"_s << QByteArray("<TextBlock 1 w:1 h:1>\r\nA<End of Block>\r\n") << u"apostrophe"_s;
}

void tst_TranslatedImport::aFailingFolderDoesNotStopTheNext()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QVERIFY(writeScript(u"battling_arena"_s, name, bytes));
    QVERIFY(writeScript(u"battling_arena"_s, u"z.txt"_s, "<TextBlock 1 w:1 h:1>\r\nZ<End of Block>\r\n"));
    QVERIFY(writeScript(u"field"_s, u"0012.txt"_s, "<TextBlock 2 w:1 h:1>\r\nDos.<End of Block>\r\n"));
    QStringList shown;
    TranslatedImportHooks hooks;
    hooks.status = [&shown](const QString &text) { shown << text; };
    const TranslatedImportReport report = importTranslatedScripts(m_db, m_scripts->path(), hooks);

    QCOMPARE(report.failures.size(), 1);
    QVERIFY2(report.failures.first().contains(name) && report.failures.first().contains(reason),
             qPrintable(report.failures.first()));
    QVERIFY(shown.contains(u"A fatal error happened while the script files were imported."_s));
    QCOMPARE(shown.indexOf(u"A fatal error happened while the script files were imported."_s) + 1,
             shown.indexOf(u"Importing Battle_script scripts, please wait..."_s));
    QVERIFY(!shown.contains(u"Importing file... battling_arena\\z.txt"_s)); // the folder stopped there
    QCOMPARE(report.lastStatus, u"All the translated scripts were imported."_s);
    QCOMPARE(row(u"field"_s, u"0012.txt"_s, 2).value(8).toString(), u"Dos.<End of Block>"_s);
    // Blocks before the failure in the same file stay written.
    const bool partial = name == u"a.txt";
    QCOMPARE(row(u"battling_arena"_s, u"a.txt"_s, 1).value(6).toInt(), partial ? 1 : 0);
}

void tst_TranslatedImport::aFolderWithoutBattleScriptIsRefused()
{
    QVERIFY(QDir(m_scripts->filePath(u"battle_script"_s)).removeRecursively());
    QVERIFY(writeScript(u"field"_s, u"0012.txt"_s, "<TextBlock 2 w:1 h:1>\r\nDos.<End of Block>\r\n"));
    const TranslatedImportReport report = importTranslatedScripts(m_db, m_scripts->path(), {});
    QVERIFY(!report.validFolder);
    QCOMPARE(m_db.changedRows(), 0);
}

void tst_TranslatedImport::importingTwiceIsImportingOnce()
{
    QVERIFY(writeScript(u"field"_s, u"0012.txt"_s, "<TextBlock 2 w:1 h:1>\r\nDos.<End of Block>\r\n"));
    importTranslatedScripts(m_db, m_scripts->path(), {});
    QList<QVariantList> once;
    for (int id = 1; id <= 3; ++id)
        once << row(u"field"_s, u"0012.txt"_s, id);
    importTranslatedScripts(m_db, m_scripts->path(), {});
    for (int id = 1; id <= 3; ++id)
        QCOMPARE(row(u"field"_s, u"0012.txt"_s, id), once.at(id - 1));
}

QTEST_APPLESS_MAIN(tst_TranslatedImport)
#include "tst_translatedimport.moc"
