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
    void check_data();
    void check();

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
    QTest::newRow("check: unknown rule") << QStringList({u"check"_s, u"--rule"_s, u"tag"_s});
    QTest::newRow("check: one size value") << QStringList({u"check"_s, u"--size"_s, u"56"_s});
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

void tst_Cli::check_data()
{
    QTest::addColumn<QString>("translation");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const QString ok = u"Hola.<End of Block>"_s;
    QTest::newRow("check: clean") << ok << QStringList{u"check"_s} << 0 << QString()
                                  << u"0 errors, 0 warnings in 1 blocks\n"_s;
    QTest::newRow("check: an error")
        << u"Hola."_s << QStringList{u"check"_s, u"--errors-only"_s} << 1
        << uR"({"table": "field", "file_name": "0012.txt", "dialogue_id": 3, "rule": "end-tag", "severity": "error", )"
           uR"("message": "The translation has no <End of Block>: in the exported file the block would run on into )"
           uR"(the next one.", "start": 5, "length": 0})" "\n"_s
        << u"1 errors, 0 warnings in 1 blocks\n"_s;
    QTest::newRow("export --check: clean") << ok << QStringList{u"export"_s, u"--check"_s, u"--all"_s} << 0
                                           << u" 1 scripts were exported, check the 'Translated' folder at the "
                                              "application path\n"_s
                                           << QString();
    QTest::newRow("export --check: refused") << u"Hola."_s << QStringList{u"export"_s, u"--check"_s, u"--all"_s}
                                             << 1 << QString() << u"Nothing was exported"_s;
}

// Wiring only: the rules are the check library's.
void tst_Cli::check()
{
    QFETCH(QString, translation);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    TestHome home;
    StoredBlock block;
    block.translated = 1;
    block.textT = translation;
    QVERIFY(insertBlock(home, block));
    const CliRun run = runCli(home.path(), arguments);
    QCOMPARE(run.status, status);
    QCOMPARE(run.out, out);
    QVERIFY2(err.isEmpty() ? run.err.isEmpty() : run.err.contains(err), qPrintable(run.err));
    QCOMPARE(QFile::exists(home.filePath(u"Translated/field/0012.txt"_s)), arguments[0] == u"export" && status == 0);
}

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"
