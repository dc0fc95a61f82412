#include "store/database.h"
#include "tests/support/clirun.h"
#include "tests/support/storedblock.h"
#include "tests/support/testhome.h"

#include <QFile>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

// Runs the real tallowpen-cli, as other programs do.
class tst_Cli : public QObject
{
    Q_OBJECT

private slots:
    void initMakesAnEmptyStore();
    void initRefusesAnExistingStore();
    void usageErrors_data();
    void usageErrors();
    void homeFromTheEnvironment();
    void memoryCommands_data();
    void memoryCommands();

private:
    struct Run
    {
        int status = -1;
        QString out;
        QString err;
    };
    static Run cli(const QStringList &arguments, const QString &envHome = QString());
};

tst_Cli::Run tst_Cli::cli(const QStringList &arguments, const QString &envHome)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"TALLOWPEN_HOME"_s, envHome);
    process.setProcessEnvironment(environment);
    process.start(QString::fromUtf8(TALLOWPEN_CLI_PATH), arguments);
    if (!process.waitForFinished(30000))
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

void tst_Cli::initMakesAnEmptyStore()
{
    TestHome home(TestHome::Nothing);
    const QString folder = home.filePath(u"it's; a \"home\""_s);
    const Run run = cli({u"--home"_s, folder, u"init"_s});
    QCOMPARE(run.status, 0);
    Database db;
    QVERIFY(openStore(db, folder + u"/tallowpen.db"_s));
    for (const QString &table : {u"battling_arena"_s, u"battle_script"_s, u"field"_s}) {
        ResultSet rows = db.query(u"SELECT * FROM %1"_s.arg(table));
        QVERIFY2(rows.isValid(), qPrintable(table));
        QCOMPARE(rows.columnCount(), 11);
        QCOMPARE(rows.rowCount(), 0);
    }
    QCOMPARE(db.query(u"SELECT * FROM suggestion"_s).columnCount(), 7);
    // Duplicates must be storable: the program reports them itself.
    QVERIFY(db.execute(u"INSERT INTO field (file_name,dialogue_id) VALUES ('a.txt', 1);"_s));
    QVERIFY(db.execute(u"INSERT INTO field (file_name,dialogue_id) VALUES ('a.txt', 1);"_s));
}

void tst_Cli::initRefusesAnExistingStore()
{
    TestHome home;
    QVERIFY(home.execute(u"INSERT INTO suggestion (word) VALUES ('keep');"_s));
    const Run run = cli({u"--home"_s, home.path(), u"init"_s});
    QCOMPARE(run.status, 1);
    QVERIFY(run.err.contains(u"already exists"_s));
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    QCOMPARE(db.query(u"SELECT * FROM suggestion"_s).rowCount(), 1);
}

void tst_Cli::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no command") << QStringList();
    QTest::newRow("unknown command") << QStringList({u"frobnicate"_s});
    QTest::newRow("unknown option") << QStringList({u"--colour"_s, u"init"_s});
    QTest::newRow("extra argument") << QStringList({u"init"_s, u"more"_s});
}

void tst_Cli::usageErrors()
{
    QFETCH(QStringList, arguments);
    TestHome home(TestHome::Nothing);
    const Run run = cli(QStringList({u"--home"_s, home.path()}) + arguments);
    QCOMPARE(run.status, 2);
    QVERIFY(!run.err.isEmpty());
    QVERIFY(!QFile::exists(home.storePath()));
}

void tst_Cli::homeFromTheEnvironment()
{
    TestHome home(TestHome::Nothing);
    const Run run = cli({u"init"_s}, home.path());
    QCOMPARE(run.status, 0);
    QVERIFY(QFile::exists(home.storePath()));
}

void tst_Cli::memoryCommands_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("lastLine");
    QTest::newRow("suggest") << QStringList{u"suggest"_s, u"field"_s, u"a.txt"_s, u"2"_s}
                             << uR"({"table": "field", "file_name": "a.txt", "dialogue_id": 1, "similarity": 75, )"
                                uR"("original": "Hello there, friend.", "translation": "Hola, amigo."})"_s;
    QTest::newRow("stats") << QStringList{u"stats"_s, u"--folder"_s, u"field"_s}
                           << uR"({"table": "field", "file_name": "", "blocks": 2, "translated": 1, "revised": 0, )"
                              uR"("words": 6, "words_translated": 3, "characters": 35, "characters_translated": 18})"_s;
}

void tst_Cli::memoryCommands()
{
    QFETCH(QStringList, arguments);
    TestHome home;
    QVERIFY(insertBlock(home, {u"field"_s, u"a.txt"_s, 1, u"Hello there, friend."_s, 24, 2, {}, 1, 0, u"Hola, amigo."_s}));
    QVERIFY(insertBlock(home, {u"field"_s, u"a.txt"_s, 2, u"Hello there, enemy."_s, 24, 2, {}, 0, 0, {}}));
    const CliRun run = runCli(home.path(), arguments);
    QCOMPARE(run.status, 0);
    QTEST(run.out.trimmed().split(u'\n').last(), "lastLine");
}

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"
