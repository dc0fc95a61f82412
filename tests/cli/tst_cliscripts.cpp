#include "store/database.h"
#include "tests/support/clirun.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

// import-original, tree and status, run as other programs run them.
class tst_CliScripts : public QObject
{
    Q_OBJECT

private slots:
    void importIntoAnEmptyStore();
    void filledStoreNeedsYes();
    void invalidFolder();
    void failuresGoToStderr_data();
    void failuresGoToStderr();
    void treeAsJsonLines();
    void status_data();
    void status();
    void missingFolderIsAUsageError();

private:
    using Run = CliRun;
    static Run cli(const TestHome &home, const QStringList &arguments);
    static void writeFile(const QString &path, const QByteArray &bytes);
    static QString writeScripts(const TestHome &home);
    static int rows(const TestHome &home, const QString &table);
};

tst_CliScripts::Run tst_CliScripts::cli(const TestHome &home, const QStringList &arguments)
{
    return runCli(home.path(), arguments);
}

void tst_CliScripts::writeFile(const QString &path, const QByteArray &bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QString tst_CliScripts::writeScripts(const TestHome &home)
{
    const QString base = home.filePath(u"scripts"_s);
    writeFile(base + u"/battling_arena/a.txt"_s, "<TextBlock 1 w:24 h:2>\r\nIt's here.\r\n<End of Block>\r\n");
    writeFile(base + u"/battle_script/b.txt"_s, "<TextBlock 2 w:20 h:1>\r\nGo!<End of Block>\r\n");
    return base;
}

int tst_CliScripts::rows(const TestHome &home, const QString &table)
{
    Database db;
    return openStore(db, home.storePath()) ? db.query(u"SELECT * FROM "_s + table).rowCount() : -1;
}

void tst_CliScripts::importIntoAnEmptyStore()
{
    TestHome home;
    const QString base = writeScripts(home);
    const Run run = cli(home, {u"import-original"_s, base});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, u"All the scripts were imported.\n"_s);
    QCOMPARE(run.err.split(u'\n', Qt::SkipEmptyParts),
             QStringList({u"Importing Battling_arena scripts, please wait..."_s,
                          u"Importing file... battling_arena\\a.txt"_s, u"All the scripts were imported."_s,
                          u"Importing Battle_script files, please wait..."_s,
                          u"Importing file... battle_script\\b.txt"_s, u"All the scripts were imported."_s,
                          u"Importing Field scripts, please wait..."_s, u"All the scripts were imported."_s}));
    QCOMPARE(rows(home, u"battling_arena"_s), 1);
    QCOMPARE(rows(home, u"battle_script"_s), 1);
}

void tst_CliScripts::filledStoreNeedsYes()
{
    TestHome home;
    const QString base = writeScripts(home);
    QVERIFY(home.execute(u"INSERT INTO field (file_name,dialogue_id) VALUES ('old.txt', 1);"_s));
    QVERIFY(home.execute(u"INSERT INTO suggestion (word) VALUES ('sword');"_s));

    Run run = cli(home, {u"import-original"_s, base});
    QCOMPARE(run.status, 1);
    QVERIFY(run.out.isEmpty());
    QCOMPARE(run.err, u"The Original scripts already exist.\r\nDo you want to import it and lose all, inclusive "
                      "link words?\n"_s);
    QCOMPARE(rows(home, u"field"_s), 1);
    QCOMPARE(rows(home, u"suggestion"_s), 1);
    QCOMPARE(rows(home, u"battling_arena"_s), 0);

    run = cli(home, {u"import-original"_s, u"--yes"_s, base});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, u"All the scripts were imported.\n"_s);
    QVERIFY(run.err.startsWith(u"Deleting battle_script scripts...\nDeleting battling_arena scripts...\n"
                               "Deleting field scripts...\nDeleting word links...\n"_s));
    QCOMPARE(rows(home, u"field"_s), 0);
    QCOMPARE(rows(home, u"suggestion"_s), 0);
    QCOMPARE(rows(home, u"battling_arena"_s), 1);
}

void tst_CliScripts::invalidFolder()
{
    TestHome home;
    const QString base = home.filePath(u"empty"_s);
    QVERIFY(QDir().mkpath(base + u"/field"_s));
    const Run run = cli(home, {u"import-original"_s, base});
    QCOMPARE(run.status, 1);
    QVERIFY(run.out.isEmpty());
    QCOMPARE(run.err, u"Please select a valid Script Folder,\r\nThis must contain the following folders: "
                      "'battling_arena', 'battle_script',\r\nand 'field'.\n"_s);
}

void tst_CliScripts::failuresGoToStderr_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("kept"); // field rows kept
    QTest::newRow("number out of range")
        << u"z.txt"_s << "<TextBlock -32769 w:1 h:1>\r\n<End of Block>\r\n"_ba
        << u"Import stopped: field\\z.txt, line 1: the block number -32769 does not fit between -32768 and 32767."_s
        << 1;
}

void tst_CliScripts::failuresGoToStderr()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QFETCH(int, kept);
    TestHome home;
    const QString base = writeScripts(home);
    writeFile(base + u"/field/y.txt"_s, "<TextBlock 1 w:1 h:1>\r\n<End of Block>\r\n");
    writeFile(base + u"/field/"_s + name, bytes);
    const Run run = cli(home, {u"import-original"_s, base});
    QCOMPARE(run.status, 1);
    QVERIFY(run.out.isEmpty());
    QCOMPARE(run.err.split(u'\n', Qt::SkipEmptyParts).last(), message);
    QCOMPARE(rows(home, u"field"_s), kept);
}

void tst_CliScripts::treeAsJsonLines()
{
    TestHome home;
    QVERIFY(home.execute(u"INSERT INTO battling_arena (file_name,dialogue_id,comments,translated,revised) VALUES "
                         "('a \"q\".txt', 1, 'note', 1, 1);"_s));
    QVERIFY(home.execute(u"INSERT INTO field (file_name,dialogue_id,comments,translated,revised) VALUES "
                         "('a \"q\".txt', 2, '', 1, 0);"_s));
    const Run run = cli(home, {u"tree"_s});
    QCOMPARE(run.status, 0);
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    QStringList nodes;
    for (const QString &line : lines) {
        QJsonParseError error;
        const QJsonObject node = QJsonDocument::fromJson(line.toUtf8(), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(node.keys(), QStringList({u"image"_s, u"key"_s, u"parent"_s, u"text"_s}));
        nodes << u"%1 < %2 : %3 #%4"_s.arg(node[u"key"_s].toString(),
                                          node[u"parent"_s].isNull() ? u"null"_s : node[u"parent"_s].toString(),
                                          node[u"text"_s].toString(), QString::number(node[u"image"_s].toInt()));
    }
    QCOMPARE(nodes, QStringList({
                        u"Root < null : Scripts #1"_s,
                        u"battling_arena < Root : battling_arena #2"_s,
                        u"a \"q\".txt < battling_arena : a \"q\".txt #3"_s,
                        u"battling_arena:a \"q\".txt;1 < a \"q\".txt : 1[c] #7"_s,
                        u"battle_script < Root : battle_script #2"_s,
                        u"field < Root : field #2"_s,
                        u"field/a \"q\".txt < field : a \"q\".txt [duplicate] #3"_s,
                        u"field:a \"q\".txt;2 < field/a \"q\".txt : 2 #5"_s,
                    }));
    QCOMPARE(lines.first(), u"{\"key\": \"Root\", \"parent\": null, \"text\": \"Scripts\", \"image\": 1}"_s);
    QCOMPARE(run.err.split(u'\n', Qt::SkipEmptyParts).size(), 1);
    QVERIFY(run.err.startsWith(u"Refused node a \"q\".txt: "_s));
}

void tst_CliScripts::status_data()
{
    QTest::addColumn<int>("blocks");
    QTest::addColumn<int>("translated");
    QTest::addColumn<int>("exitStatus");
    QTest::addColumn<QString>("out");
    QTest::newRow("3 of 8") << 8 << 3 << 0 << u">Translation status: 38% translated\n"_s;
    QTest::newRow("1 of 8") << 8 << 1 << 0 << u">Translation status: 12% translated\n"_s;
    QTest::newRow("no blocks") << 0 << 0 << 1 << QString();
}

void tst_CliScripts::status()
{
    QFETCH(int, blocks);
    QFETCH(int, translated);
    QFETCH(int, exitStatus);
    QFETCH(QString, out);
    TestHome home;
    for (int i = 1; i <= blocks; ++i) {
        QVERIFY(home.execute(u"INSERT INTO %1 (file_name,dialogue_id,translated) VALUES ('a.txt', %2, %3);"_s.arg(
            i % 2 ? u"field"_s : u"battle_script"_s, QString::number(i), i <= translated ? u"1"_s : u"0"_s)));
    }
    const Run run = cli(home, {u"status"_s});
    QCOMPARE(run.status, exitStatus);
    QCOMPARE(run.out, out);
    QCOMPARE(run.err.isEmpty(), exitStatus == 0);
}

void tst_CliScripts::missingFolderIsAUsageError()
{
    TestHome home;
    QCOMPARE(cli(home, {u"import-original"_s}).status, 2);
    QCOMPARE(cli(home, {u"tree"_s, u"extra"_s}).status, 2);
}

QTEST_GUILESS_MAIN(tst_CliScripts)
#include "tst_cliscripts.moc"
