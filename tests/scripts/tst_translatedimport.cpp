#include "scripts/translatedimport.h"
#include "tests/support/storedblock.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Keeps the status texts in order and the last file count.
struct RecordedProgress : ImportProgress
{
    void showText(const QString &text) override { texts << text; }
    void showFiles(int done, int total) override { files = {done, total}; }
    QStringList texts;
    std::pair<int, int> files;
};

TranslatedImport::Report importFrom(Database &db, const QString &base, RecordedProgress *progress = nullptr)
{
    ProgressPacer pacer(progress);
    return TranslatedImport::run(db, base, pacer);
}

} // namespace

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
    QCOMPARE(TranslatedImport::updateStatement(u"field"_s, u"0012.txt"_s, 3, u"Hola.<End of Block>"_s),
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
    const auto report = importFrom(m_db, m_scripts->path());
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
    QVERIFY(writeScript(u"battling_arena"_s, u"b.txt"_s, "<TextBlock 2 w:1 h:1>\r\nB<End of Block>\r\n"));
    RecordedProgress progress;
    importFrom(m_db, m_scripts->path(), &progress);
    QCOMPARE(progress.texts, QStringList({u"Importing Battling_arena scripts, please wait..."_s,
                                 u"Importing file... battling_arena\\a.txt"_s,
                                 u"Importing file... battling_arena\\b.txt"_s,
                                 u"All the translated scripts were imported."_s,
                                 u"Importing Battle_script scripts, please wait..."_s,
                                 u"All the translated scripts were imported."_s,
                                 u"Importing Field scripts, please wait..."_s,
                                 u"All the translated scripts were imported."_s}));
    QCOMPARE(progress.files, std::make_pair(2, 2));
}

void tst_TranslatedImport::aFailingFolderDoesNotStopTheNext_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("earlierFileKept");
    // b.txt's first block is written, then its second header fails: the
    // file goes back whole, a.txt before it stays.
    QTest::newRow("block number beyond 16 bits")
        << u"b.txt"_s
        << QByteArray("<TextBlock 2 w:1 h:1>\r\nB<End of Block>\r\n<TextBlock 99999 w:1 h:1>\r\n")
        << u"line 3"_s << true;
    // Names are checked before the folder writes anything.
    QTest::newRow("apostrophe in the file name")
        << u"it's.txt"_s << QByteArray("<TextBlock 2 w:1 h:1>\r\nB<End of Block>\r\n") << u"apostrophe"_s << false;
}

void tst_TranslatedImport::aFailingFolderDoesNotStopTheNext()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QFETCH(bool, earlierFileKept);
    StoredBlock second;
    second.table = u"battling_arena"_s;
    second.file = name;
    second.id = 2;
    QVERIFY(name.contains(u'\'') || insertBlock(*m_home, second)); // the store cannot hold such a name
    QVERIFY(writeScript(u"battling_arena"_s, u"a.txt"_s, "<TextBlock 1 w:1 h:1>\r\nA<End of Block>\r\n"));
    QVERIFY(writeScript(u"battling_arena"_s, name, bytes));
    QVERIFY(writeScript(u"battling_arena"_s, u"z.txt"_s, "<TextBlock 1 w:1 h:1>\r\nZ<End of Block>\r\n"));
    QVERIFY(writeScript(u"field"_s, u"0012.txt"_s, "<TextBlock 2 w:1 h:1>\r\nDos.<End of Block>\r\n"));
    RecordedProgress progress;
    const auto report = importFrom(m_db, m_scripts->path(), &progress);
    const QStringList &shown = progress.texts;

    QCOMPARE(report.failures.size(), 1);
    QVERIFY2(report.failures.first().contains(name) && report.failures.first().contains(reason),
             qPrintable(report.failures.first()));
    const QString fatal = u"A fatal error happened while the script files were imported."_s;
    QCOMPARE(shown.indexOf(fatal) + 1, shown.indexOf(u"Importing Battle_script scripts, please wait..."_s));
    QVERIFY(!shown.contains(u"Importing file... battling_arena\\z.txt"_s)); // the folder stopped there
    QCOMPARE(report.lastStatus, u"All the translated scripts were imported."_s);
    QCOMPARE(row(u"field"_s, u"0012.txt"_s, 2).value(8).toString(), u"Dos.<End of Block>"_s);
    QCOMPARE(row(u"battling_arena"_s, u"a.txt"_s, 1).value(6).toInt(), earlierFileKept ? 1 : 0);
    QCOMPARE(row(u"battling_arena"_s, name, 2).value(6).toInt(), 0);
}

void tst_TranslatedImport::aFolderWithoutBattleScriptIsRefused()
{
    QVERIFY(QDir(m_scripts->filePath(u"battle_script"_s)).removeRecursively());
    QVERIFY(writeScript(u"field"_s, u"0012.txt"_s, "<TextBlock 2 w:1 h:1>\r\nDos.<End of Block>\r\n"));
    const auto report = importFrom(m_db, m_scripts->path());
    QVERIFY(!report.validFolder);
    QCOMPARE(m_db.changedRows(), 0);
}

void tst_TranslatedImport::importingTwiceIsImportingOnce()
{
    QVERIFY(writeScript(u"field"_s, u"0012.txt"_s, "<TextBlock 2 w:1 h:1>\r\nDos.<End of Block>\r\n"));
    importFrom(m_db, m_scripts->path());
    QList<QVariantList> once;
    for (int id = 1; id <= 3; ++id)
        once << row(u"field"_s, u"0012.txt"_s, id);
    importFrom(m_db, m_scripts->path());
    for (int id = 1; id <= 3; ++id)
        QCOMPARE(row(u"field"_s, u"0012.txt"_s, id), once.at(id - 1));
}

QTEST_APPLESS_MAIN(tst_TranslatedImport)
#include "tst_translatedimport.moc"
