#include "scripts/scriptexport.h"
#include "scripts/scriptview.h"
#include "tests/support/appendonly.h"
#include "tests/support/storedblock.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

using Rows = std::vector<ExportListRow>;

// The export's list and files, and the view of a script, on one store: field
// holds a.txt (blocks 1 to 3, then 4 after b.txt) and b.txt; battle_script
// holds "nada" and c.txt; battling_arena one untranslated block.
class tst_ScriptExport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void listedScripts_data();
    void listedScripts();
    void writtenFile_data();
    void writtenFile();
    void stops_data();
    void stops();
    void aKilledExportsTemporariesGo_data();
    void aKilledExportsTemporariesGo();
    void aCommitThatFailsStops();
    void aFullDiskKeepsTheOldFile();
    void view();

private:
    QByteArray readAll(const QString &relative) const;
    QStringList files(const QString &relative) const;
    std::unique_ptr<TestHome> m_home;
    Database m_db;
};

QByteArray tst_ScriptExport::readAll(const QString &relative) const
{
    QFile file(m_home->filePath(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList tst_ScriptExport::files(const QString &relative) const
{
    return QDir(m_home->filePath(relative)).entryList(QDir::Files);
}

void tst_ScriptExport::init()
{
    m_db.close();
    m_home = std::make_unique<TestHome>(TestHome::StoreOnly);
    // table, file, id, translated, revised, new width, new height
    const QList<QStringList> blocks = {{u"field"_s, u"a.txt"_s, u"1 1 1 26 3"_s}, {u"field"_s, u"a.txt"_s, u"2 1 0 0 5"_s},
                                       {u"field"_s, u"a.txt"_s, u"3 0 1 0 0"_s}, {u"field"_s, u"b.txt"_s, u"1 1 0 0 0"_s},
                                       {u"field"_s, u"a.txt"_s, u"4 1 1 0 0"_s}, {u"battle_script"_s, u"nada"_s, u"1 1 1 0 0"_s},
                                       {u"battle_script"_s, u"c.txt"_s, u"1 1 1 0 0"_s},
                                       {u"battling_arena"_s, u"d.txt"_s, u"1 0 0 0 0"_s}};
    for (const QStringList &block : blocks) {
        const QStringList n = block[2].split(u' ');
        StoredBlock b;
        b.table = block[0];
        b.file = block[1];
        b.id = n[0].toInt();
        b.text = u"Orig `%1`.<End of Block>"_s.arg(b.id);
        b.textT = u"Trad %1 it`s\r\n<End of Block>"_s.arg(b.id);
        b.translated = n[1].toInt();
        b.revised = n[2].toInt();
        b.newWidth = n[3].toInt();
        b.newHeight = n[4].toInt();
        QVERIFY(insertBlock(*m_home, b));
    }
    QVERIFY(openStore(m_db, m_home->storePath()));
}

void tst_ScriptExport::listedScripts_data()
{
    QTest::addColumn<int>("folder");
    QTest::addColumn<bool>("onlyRevised");
    QTest::addColumn<QString>("listed");
    // A script is listed once per run of its rows, with the translation of the
    // run's first block ("Trad N"); "nada" first in its folder is never listed.
    QTest::newRow("all folders") << 0 << false << u"battle_script/c.txt:1 field/a.txt:1 field/b.txt:1 field/a.txt:4"_s;
    QTest::newRow("all folders, only revised") << 0 << true << u"battle_script/c.txt:1 field/a.txt:1"_s;
    QTest::newRow("field") << 3 << false << u"field/a.txt:1 field/b.txt:1 field/a.txt:4"_s;
    QTest::newRow("battling_arena has nothing translated") << 1 << false << QString();
    QTest::newRow("outside the items") << 4 << false << QString();
}

void tst_ScriptExport::listedScripts()
{
    QFETCH(int, folder);
    QFETCH(bool, onlyRevised);
    QFETCH(QString, listed);
    const Result<Rows> rows = fillExportList(m_db, folder, onlyRevised);
    QVERIFY(rows);
    QStringList got;
    for (const ExportListRow &row : *rows)
        got << row.folder + u'/' + row.script + u':' + row.overview.section(u' ', 1, 1);
    QCOMPARE(got.join(u' '), listed);
}

void tst_ScriptExport::writtenFile_data()
{
    QTest::addColumn<bool>("onlyRevised");
    QTest::addColumn<bool>("include");
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray one = "<TextBlock 1 w:26 h:3>\r\nTrad 1 it's\r\n<End of Block>\r\n";
    const QByteArray two = "<TextBlock 2 w:24 h:2>\r\nTrad 2 it's\r\n<End of Block>\r\n";
    const QByteArray three = "<TextBlock 3 w:24 h:2>\r\nOrig '3'.<End of Block>\r\n";
    const QByteArray four = "<TextBlock 4 w:24 h:2>\r\nTrad 4 it's\r\n<End of Block>\r\n";
    QTest::newRow("translated blocks") << false << false << one + two + four;
    QTest::newRow("only revised") << true << false << one + four;
    QTest::newRow("every block, whatever revised says") << true << true << one + two + three + four;
}

void tst_ScriptExport::writtenFile()
{
    QFETCH(bool, onlyRevised);
    QFETCH(bool, include);
    QFETCH(QByteArray, bytes);
    QVERIFY(m_home->write(u"Translated/field/a.txt"_s, "an earlier export, longer than the new one"));
    const ExportResult result = exportScripts(m_db, m_home->path(), {{u"a.txt"_s, u"field"_s, {}}}, onlyRevised, include);
    QVERIFY2(result.ok(), qPrintable(result.error().message));
    QCOMPARE(result->message, u" 1 scripts were exported, check the 'Translated' folder at the application path"_s);
    QCOMPARE(readAll(u"Translated/field/a.txt"_s), bytes);
    QCOMPARE(files(u"Translated/field"_s), QStringList(u"a.txt"_s)); // nothing left beside it
    QCOMPARE(QDir(m_home->filePath(u"Translated"_s)).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList({u"battle_script"_s, u"battling_arena"_s, u"field"_s}));
}

void tst_ScriptExport::stops_data()
{
    QTest::addColumn<QString>("blocker"); // made before the export: a file, a folder when it ends in "/", a link in "@"
    QTest::addColumn<QString>("update");  // run on the store before the export
    QTest::addColumn<QStringList>("ticked");
    QTest::addColumn<QString>("message"); // part of it; the failing path when it has one
    QTest::addColumn<QStringList>("written");
    QTest::newRow("nothing ticked") << QString() << QString() << QStringList() << u"Nothing to export, make selection fisrt please"_s
                                    << QStringList();
    QTest::newRow("a file where a folder belongs")
        << u"Translated/battle_script"_s << QString() << QStringList{u"c.txt"_s, u"a.txt"_s}
        << u"Translated/battle_script/c.txt"_s << QStringList(u"a.txt"_s);
    QTest::newRow("a link standing in for a table folder")
        << u"Translated/battle_script@"_s << QString() << QStringList{u"c.txt"_s, u"a.txt"_s}
        << u"Translated/battle_script/c.txt"_s << QStringList(u"a.txt"_s);
    QTest::newRow("a link standing in for Translated")
        << u"Translated@"_s << QString() << QStringList{u"a.txt"_s} << u"Translated"_s << QStringList();
    QTest::newRow("a folder where a file belongs")
        << u"Translated/field/b.txt/"_s << QString() << QStringList{u"b.txt"_s, u"a.txt"_s}
        << u"Translated/field/b.txt"_s << QStringList(u"a.txt"_s);
    QTest::newRow("a character without a byte")
        << QString() << u"UPDATE field SET text_data_t = 'Snow ☃' WHERE file_name = 'b.txt';"_s
        << QStringList(u"b.txt"_s) << u"has no Windows-1252 code"_s << QStringList();
    QTest::newRow("a name that leaves its folder")
        << QString() << u"UPDATE field SET file_name = '../../escape.txt' WHERE file_name = 'b.txt';"_s
        << QStringList(u"../../escape.txt"_s) << u"escape.txt: this is not a script name"_s << QStringList();
}

// A folder that cannot be made stops the export; a script that cannot be
// written is listed and the others are written; nothing lands outside Translated.
void tst_ScriptExport::stops()
{
    QFETCH(QString, blocker);
    QFETCH(QString, update);
    QFETCH(QStringList, ticked);
    QFETCH(QString, message);
    QFETCH(QStringList, written);
    if (blocker.endsWith(u'/'))
        QVERIFY(QDir(m_home->path()).mkpath(blocker));
    else if (blocker.endsWith(u'@'))
        QVERIFY(QDir(m_home->path()).mkpath(u"elsewhere"_s) && QDir(m_home->path()).mkpath(QFileInfo(blocker.chopped(1)).path())
                && QFile::link(m_home->filePath(u"elsewhere"_s), m_home->filePath(blocker.chopped(1))));
    else if (!blocker.isEmpty() && QDir(m_home->path()).mkpath(u"Translated"_s))
        QVERIFY(QFile(m_home->filePath(blocker)).open(QIODevice::WriteOnly));
    QVERIFY(update.isEmpty() || m_db.execute(update));
    Rows rows;
    for (const QString &script : ticked)
        rows.push_back({script, script == u"c.txt" ? u"battle_script"_s : u"field"_s, {}});
    const ExportResult result = exportScripts(m_db, m_home->path(), rows, false, false);
    QVERIFY(!result.ok());
    QVERIFY2(result.error().message.contains(message.contains(u'/') ? QDir::toNativeSeparators(m_home->filePath(message)) : message),
             qPrintable(result.error().message));
    QCOMPARE(result.error().written, written.size());
    if (!blocker.startsWith(u"Translated@"))
        QCOMPARE(files(u"Translated/field"_s), written);
    QVERIFY(files(u"Translated/battle_script"_s).isEmpty());
    QVERIFY(QDir(m_home->filePath(u"elsewhere"_s)).isEmpty());
    QVERIFY(!QFile::exists(QDir(m_home->path()).absoluteFilePath(u"../escape.txt"_s)));
}

void tst_ScriptExport::aKilledExportsTemporariesGo_data()
{
    QTest::addColumn<int>("age"); // seconds since it was last written
    QTest::addColumn<bool>("removed");
    QTest::newRow("left by an export killed long ago") << 3600 << true;
    QTest::newRow("being written by another export now") << 0 << false;
}

void tst_ScriptExport::aKilledExportsTemporariesGo()
{
    QFETCH(int, age);
    QFETCH(bool, removed);
    const QString left = u"Translated/field/.b.txt.Xy12Ab"_s;
    QVERIFY(m_home->write(left, "half"));
    QFile file(m_home->filePath(left));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-age), QFileDevice::FileModificationTime));
    file.close();
    QVERIFY(exportScripts(m_db, m_home->path(), {{u"a.txt"_s, u"field"_s, {}}}, false, false).ok());
    QCOMPARE(QFile::exists(m_home->filePath(left)), !removed);
}

// The new text goes beside the old file, which a folder that lets nothing be
// renamed allows: only commit() can tell that the old file was never replaced.
void tst_ScriptExport::aCommitThatFailsStops()
{
    const QString folder = m_home->filePath(u"Translated/field"_s);
    QVERIFY(m_home->write(u"Translated/field/a.txt"_s, "before"));
    if (!setAppendOnly(folder, true))
        QSKIP("This file system or user cannot make a folder append-only (ext4 and root can).");
    const auto restore = qScopeGuard([&folder] { setAppendOnly(folder, false); });
    const ExportResult result = exportScripts(m_db, m_home->path(), {{u"a.txt"_s, u"field"_s, {}}}, false, true);
    QVERIFY(!result.ok());
    QCOMPARE(result.error().written, 0);
    QCOMPARE(result.error().failedPath, QDir::toNativeSeparators(folder + u"/a.txt"_s));
    QCOMPARE(readAll(u"Translated/field/a.txt"_s), "before");
}

// A disk with no room left: the old file stays as it was.
void tst_ScriptExport::aFullDiskKeepsTheOldFile()
{
    QVERIFY(m_home->write(u"Translated/field/a.txt"_s, "before"));
    rlimit normal{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &normal), 0);
    rlimit full = normal;
    full.rlim_cur = 16;
    std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &full), 0);
    const ExportResult result = exportScripts(m_db, m_home->path(), {{u"a.txt"_s, u"field"_s, {}}}, false, true);
    setrlimit(RLIMIT_FSIZE, &normal);
    QVERIFY(!result.ok());
    QCOMPARE(readAll(u"Translated/field/a.txt"_s), "before");
    QCOMPARE(files(u"Translated/field"_s), QStringList(u"a.txt"_s));
}

void tst_ScriptExport::view()
{
    const QStringList keys = {u"field:a.txt;3"_s, u"field:a.txt;x99999"_s, u"Root"_s, u"field"_s, u"a.txt"_s,
                              u"field:a.txt"_s};
    for (const QString &key : keys) {
        const auto script = viewedScript(key);
        QCOMPARE(script.has_value(), key.contains(u';'));
        const Result<QString> text = script ? scriptViewText(m_db, *script) : Result<QString>(QString());
        QVERIFY(text);
        QCOMPARE(*text, !script ? QString()
                               : u"<TextBlock 1 w:26 h:3>\r\nTrad 1 it's\r\n<End of Block>\r\n"
                                 "<TextBlock 2 w:24 h:2>\r\nTrad 2 it's\r\n<End of Block>\r\n"
                                 "<TextBlock 3 w:24 h:2>\r\nOrig '3'.<End of Block>\r\n"
                                 "<TextBlock 4 w:24 h:2>\r\nTrad 4 it's\r\n<End of Block>\r\n"_s);
    }
    const Result<QString> missing = scriptViewText(m_db, {u"nowhere"_s, u"a.txt"_s});
    QVERIFY(!missing);
    QVERIFY(!missing.error().message.isEmpty());
}

QTEST_APPLESS_MAIN(tst_ScriptExport)
#include "tst_scriptexport.moc"
