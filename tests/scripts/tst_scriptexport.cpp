#include "scripts/scriptexport.h"
#include "scripts/scriptview.h"
#include "tests/support/storedblock.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

using Rows = std::vector<ExportListRow>;
Q_DECLARE_METATYPE(Rows)

class tst_ScriptExport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void listedScripts_data();
    void listedScripts();
    void writtenFile_data();
    void writtenFile();
    void statements();
    void nothingTickedWritesNothing();
    void exportingAgainReplacesTheFile();
    void aFolderThatCannotBeMadeStops();
    void aFileThatCannotBeWrittenIsListedAndTheOthersWritten();
    void aCharacterWithoutACodeStops();
    void aHostileScriptNameIsRefused();
    void viewKeys_data();
    void viewKeys();
    void viewText();

private:
    static QByteArray readAll(const QString &path);
    std::unique_ptr<TestHome> m_home;
    Database m_db;
};

QByteArray tst_ScriptExport::readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Two scripts in field, one split in two runs, and a script called "nada".
void tst_ScriptExport::init()
{
    m_db.close();
    m_home = std::make_unique<TestHome>(TestHome::StoreOnly);
    QVERIFY(m_home->isValid());
    const auto add = [this](const QString &table, const QString &file, int id, int translated, int revised,
                            const QString &textT = QString(), int newWidth = 0, int newHeight = 0) {
        StoredBlock b;
        b.table = table;
        b.file = file;
        b.id = id;
        b.text = u"Orig `%1`.<End of Block>"_s.arg(id);
        b.translated = translated;
        b.revised = revised;
        b.textT = textT.isEmpty() ? u"Trad %1 it`s\r\n<End of Block>"_s.arg(id) : textT;
        b.newWidth = newWidth;
        b.newHeight = newHeight;
        return insertBlock(*m_home, b);
    };
    QVERIFY(add(u"field"_s, u"a.txt"_s, 1, 1, 1, {}, 26, 3));
    QVERIFY(add(u"field"_s, u"a.txt"_s, 2, 1, 0, {}, 0, 5));
    QVERIFY(add(u"field"_s, u"a.txt"_s, 3, 0, 1));
    QVERIFY(add(u"field"_s, u"b.txt"_s, 1, 1, 0));
    QVERIFY(add(u"field"_s, u"a.txt"_s, 4, 1, 1));
    QVERIFY(add(u"battle_script"_s, u"nada"_s, 1, 1, 1));
    QVERIFY(add(u"battle_script"_s, u"c.txt"_s, 1, 1, 1));
    QVERIFY(add(u"battling_arena"_s, u"d.txt"_s, 1, 0, 0));
    QVERIFY(openStore(m_db, m_home->storePath()));
}

void tst_ScriptExport::listedScripts_data()
{
    QTest::addColumn<int>("folder");
    QTest::addColumn<bool>("onlyRevised");
    QTest::addColumn<QStringList>("listed");

    QTest::newRow("all folders") << 0 << false
                                 << QStringList{u"battle_script/c.txt"_s, u"field/a.txt"_s, u"field/b.txt"_s,
                                                u"field/a.txt"_s};
    QTest::newRow("all folders, only revised")
        << 0 << true << QStringList{u"battle_script/c.txt"_s, u"field/a.txt"_s};
    QTest::newRow("field") << 3 << false << QStringList{u"field/a.txt"_s, u"field/b.txt"_s, u"field/a.txt"_s};
    QTest::newRow("battling_arena has nothing translated") << 1 << false << QStringList();
    QTest::newRow("outside the items") << 4 << false << QStringList();
}

void tst_ScriptExport::listedScripts()
{
    QFETCH(int, folder);
    QFETCH(bool, onlyRevised);
    QFETCH(QStringList, listed);
    Rows rows;
    QString error;
    QVERIFY(fillExportList(m_db, folder, onlyRevised, rows, &error));
    QStringList got;
    for (const ExportListRow &row : rows)
        got << row.folder + u'/' + row.script;
    QCOMPARE(got, listed);
    if (!rows.empty() && rows.front().script == u"c.txt")
        QCOMPARE(rows.front().overview, u"Trad 1 it`s\r\n<End of Block>"_s);
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
    QTest::newRow("every block") << false << true << one + two + three + four;
    QTest::newRow("every block, whatever revised says") << true << true << one + two + three + four;
}

void tst_ScriptExport::writtenFile()
{
    QFETCH(bool, onlyRevised);
    QFETCH(bool, include);
    QFETCH(QByteArray, bytes);
    const ExportResult result = exportScripts(m_db, m_home->path(), {{u"a.txt"_s, u"field"_s, {}}}, onlyRevised, include);
    QVERIFY2(result.ok, qPrintable(result.message));
    QCOMPARE(readAll(m_home->filePath(u"Translated/field/a.txt"_s)), bytes);
    for (const QString &folder : {u"battling_arena"_s, u"battle_script"_s})
        QVERIFY(QDir(m_home->filePath(u"Translated/"_s + folder)).exists());
}

void tst_ScriptExport::statements()
{
    QCOMPARE(exportScriptStatement(u"field"_s, u"0012.txt"_s, false, false),
             u"SELECT * FROM field WHERE file_name = '0012.txt' AND translated = 1;"_s);
    QCOMPARE(exportScriptStatement(u"field"_s, u"0012.txt"_s, true, false),
             u"SELECT * FROM field WHERE file_name = '0012.txt' AND translated = 1 AND revised = 1;"_s);
    QCOMPARE(exportScriptStatement(u"field"_s, u"0012.txt"_s, true, true),
             u"SELECT * FROM field WHERE file_name = '0012.txt';"_s);
    QCOMPARE(exportListStatement(u"battle_script"_s, true),
             u"SELECT * FROM battle_script WHERE translated = 1 AND revised = 1"_s);
    QCOMPARE(exportedMessage(3),
             u" 3 scripts were exported, check the 'Translated' folder at the application path"_s);
}

void tst_ScriptExport::nothingTickedWritesNothing()
{
    const ExportResult result = exportScripts(m_db, m_home->path(), {}, false, false);
    QVERIFY(!result.ok);
    QCOMPARE(result.message, u"Nothing to export, make selection fisrt please"_s);
    QVERIFY(!QFile::exists(m_home->filePath(u"Translated"_s)));
}

void tst_ScriptExport::exportingAgainReplacesTheFile()
{
    const Rows ticked{{u"a.txt"_s, u"field"_s, {}}, {u"c.txt"_s, u"battle_script"_s, {}}};
    QVERIFY(exportScripts(m_db, m_home->path(), ticked, false, true).ok);
    const ExportResult again = exportScripts(m_db, m_home->path(), ticked, true, false);
    QVERIFY(again.ok);
    QCOMPARE(again.written, 2);
    QCOMPARE(again.message, exportedMessage(2));
    QCOMPARE(readAll(m_home->filePath(u"Translated/field/a.txt"_s)),
             "<TextBlock 1 w:26 h:3>\r\nTrad 1 it's\r\n<End of Block>\r\n"
             "<TextBlock 4 w:24 h:2>\r\nTrad 4 it's\r\n<End of Block>\r\n");
    // No temporary file is left beside the scripts.
    QCOMPARE(QDir(m_home->filePath(u"Translated/field"_s)).entryList(QDir::Files), QStringList{u"a.txt"_s});
}

void tst_ScriptExport::aFolderThatCannotBeMadeStops()
{
    // A file where the folder belongs stops even a program run as root.
    QDir(m_home->path()).mkpath(u"Translated"_s);
    QFile blocker(m_home->filePath(u"Translated/battle_script"_s));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const ExportResult result = exportScripts(m_db, m_home->path(), {{u"a.txt"_s, u"field"_s, {}}}, false, false);
    QVERIFY(!result.ok);
    QCOMPARE(result.written, 0);
    QVERIFY2(result.message.contains(QDir::toNativeSeparators(m_home->filePath(u"Translated/battle_script"_s))),
             qPrintable(result.message));
    QVERIFY(!QFile::exists(m_home->filePath(u"Translated/field/a.txt"_s)));
}

void tst_ScriptExport::aFileThatCannotBeWrittenIsListedAndTheOthersWritten()
{
    QVERIFY(QDir(m_home->path()).mkpath(u"Translated/field/b.txt"_s)); // a folder in the file's place
    const Rows ticked{{u"a.txt"_s, u"field"_s, {}}, {u"b.txt"_s, u"field"_s, {}}, {u"c.txt"_s, u"battle_script"_s, {}}};
    const ExportResult result = exportScripts(m_db, m_home->path(), ticked, false, false);
    QVERIFY(!result.ok);
    QCOMPARE(result.written, 2);
    QCOMPARE(result.failedPath, QDir::toNativeSeparators(m_home->filePath(u"Translated/field/b.txt"_s)));
    QVERIFY(result.message.contains(result.failedPath));
    QVERIFY(QFile::exists(m_home->filePath(u"Translated/field/a.txt"_s)));
    QVERIFY(QFile::exists(m_home->filePath(u"Translated/battle_script/c.txt"_s)));
    QCOMPARE(QDir(m_home->filePath(u"Translated/field"_s)).entryList(QDir::Files), QStringList{u"a.txt"_s});
}

void tst_ScriptExport::aCharacterWithoutACodeStops()
{
    QVERIFY(m_home->execute(u"UPDATE field SET text_data_t = 'Snow ☃<End of Block>' WHERE file_name = 'b.txt';"_s));
    const ExportResult result = exportScripts(m_db, m_home->path(), {{u"b.txt"_s, u"field"_s, {}}}, false, false);
    QVERIFY(!result.ok);
    QVERIFY(result.message.contains(u"b.txt"_s));
    QVERIFY(!QFile::exists(m_home->filePath(u"Translated/field/b.txt"_s)));
}

void tst_ScriptExport::aHostileScriptNameIsRefused()
{
    QVERIFY(m_home->execute(u"UPDATE field SET file_name = '../../escape.txt' WHERE file_name = 'b.txt';"_s));
    Rows rows;
    QVERIFY(fillExportList(m_db, 3, false, rows, nullptr));
    const ExportResult result = exportScripts(m_db, m_home->path(), {rows.at(1)}, false, false);
    QVERIFY(!result.ok);
    QVERIFY(result.message.contains(u"escape.txt"_s));
    QVERIFY(!QFile::exists(m_home->filePath(u"escape.txt"_s)));
    QVERIFY(!QFile::exists(QDir(m_home->path()).absoluteFilePath(u"../escape.txt"_s)));
}

void tst_ScriptExport::viewKeys_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("viewed"); // folder/script, empty: nothing to view
    QTest::newRow("block") << u"field:a.txt;2"_s << u"field/a.txt"_s;
    QTest::newRow("number not needed") << u"field:a.txt;x99999"_s << u"field/a.txt"_s;
    QTest::newRow("colon in the script") << u"field:a:b.txt;2"_s << u"field/a:b.txt"_s;
    QTest::newRow("root") << u"Root"_s << QString();
    QTest::newRow("folder") << u"battle_script"_s << QString();
    QTest::newRow("script") << u"a.txt"_s << QString();
    QTest::newRow("colon without semicolon") << u"field:a.txt"_s << QString();
}

void tst_ScriptExport::viewKeys()
{
    QFETCH(QString, key);
    QFETCH(QString, viewed);
    const auto script = viewedScript(key);
    QCOMPARE(script ? script->folder + u'/' + script->script : QString(), viewed);
}

void tst_ScriptExport::viewText()
{
    QString text;
    QString error;
    QVERIFY(scriptViewText(m_db, *viewedScript(u"field:a.txt;3"_s), &text, &error));
    QCOMPARE(text, u"<TextBlock 1 w:26 h:3>\r\nTrad 1 it's\r\n<End of Block>\r\n"
                   "<TextBlock 2 w:24 h:2>\r\nTrad 2 it's\r\n<End of Block>\r\n"
                   "<TextBlock 3 w:24 h:2>\r\nOrig '3'.<End of Block>\r\n"
                   "<TextBlock 4 w:24 h:2>\r\nTrad 4 it's\r\n<End of Block>\r\n"_s);
    QVERIFY(!scriptViewText(m_db, {u"nowhere"_s, u"a.txt"_s}, &text, &error));
    QVERIFY(!error.isEmpty());
}

QTEST_APPLESS_MAIN(tst_ScriptExport)
#include "tst_scriptexport.moc"
