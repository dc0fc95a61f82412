#include "server/presence.h"
#include "tests/support/clirun.h"
#include "tests/support/storedblock.h"
#include "tests/support/testdatabase.h"
#include "tests/support/testhome.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

// The commands of working together, wired to the server's store.
class tst_TeamCli : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void commands_data();
    void commands();
    void watchPrintsEachChange();
    void whoListsPeopleAtWork();

private:
    CliRun onServer(const QStringList &arguments, const QString &user = {}) const
    {
        const QString address = m_server->address() + (user.isEmpty() ? QString() : u" user="_s + user);
        return runCli(m_home->path(), QStringList{u"--server"_s, address} + arguments);
    }
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<TestDatabase> m_server;
};

void tst_TeamCli::init()
{
    m_server = std::make_unique<TestDatabase>();
    if (!m_server->problem().isEmpty())
        QSKIP(qPrintable(m_server->problem()));
    m_home = std::make_unique<TestHome>(TestHome::StoreOnly);
    for (int id : {3, 4})
        QVERIFY(insertBlock(*m_home, {u"field"_s, u"0012.txt"_s, id, u"Hola."_s, 24, 2, {}, 0, 0, {}, 0, 0}));
    QVERIFY(insertBlock(*m_home, {u"battle_script"_s, u"b.txt"_s, 1, u"Tree."_s, 24, 2, {}, 0, 0, {}, 0, 0}));
    QCOMPARE(onServer({u"server-init"_s, u"--from-store"_s}).status, 0);
    QVERIFY(m_server->execute(u"DO $$ BEGIN CREATE ROLE cli_ana LOGIN; EXCEPTION WHEN duplicate_object THEN "
                              "NULL; END $$"_s));
}

void tst_TeamCli::commands_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const QStringList block{u"field"_s, u"0012.txt"_s, u"3"_s};
    const QStringList saveA = QStringList{u"save"_s} + block + QStringList{u"--translation"_s, u"A"_s};
    const QStringList saveB = QStringList{u"save"_s} + block + QStringList{u"--translation"_s, u"B"_s};
    QTest::newRow("save at a stale version")
        << saveA << QString() << saveB + QStringList{u"--expect-version"_s, u"1"_s} << 1
        << u"^\\{\"caption\": .*\"translation\": \"A\".*\"version\": 2, \"updated_by\": \"postgres\".*\\}\n$"_s
        << u"^Conflict: postgres changed block 3 of 0012.txt at 20\\d\\d-"_s;
    QTest::newRow("history names who wrote each version")
        << saveA << QString() << QStringList{u"history"_s} + block << 0
        << u"^\\{\"time\": \"[^\"]+\", \"translation\": \"\", \"comment\": \"\", \"revised\": 0, "
           "\"user\": \"postgres\", \"version\": 1\\}\n$"_s
        << QString();
    QTest::newRow("claim in a folder, past a claimed block")
        << QStringList{u"claim"_s, u"--folder"_s, u"field"_s} << QString()
        << QStringList{u"claim"_s, u"--folder"_s, u"field"_s, u"--count"_s, u"5"_s} << 0
        << u"^\\{\"table\": \"field\", \"file_name\": \"0012.txt\", \"dialogue_id\": 4, [^\n]+\n$"_s << QString();
    QTest::newRow("the server refuses the role")
        << QStringList{u"server-grant"_s, u"cli_ana"_s, u"translator"_s} << u"cli_ana"_s
        << QStringList{u"save"_s} + block + QStringList{u"--revised"_s, u"1"_s} << 1 << u"^$"_s
        << u"permission denied for table field - your role on this server does not allow it"_s;
    QTest::newRow("an unknown role") << QStringList() << QString()
                                     << QStringList{u"server-grant"_s, u"cli_ana"_s, u"boss"_s} << 2 << u"^$"_s
                                     << u"Unknown role boss"_s;
}

void tst_TeamCli::commands()
{
    QFETCH(QStringList, before);
    QFETCH(QString, user);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    if (!before.isEmpty())
        QCOMPARE(onServer(before).status, 0);
    const CliRun run = onServer(arguments, user);
    QVERIFY2(run.status == status, qPrintable(run.err));
    QVERIFY2(QRegularExpression(out).match(run.out).hasMatch(), qPrintable(run.out));
    QVERIFY2(run.err.contains(QRegularExpression(err)), qPrintable(run.err));
}

void tst_TeamCli::watchPrintsEachChange()
{
    Result<ServerConnection> owner = ServerConnection::open(m_server->address());
    QVERIFY(owner);
    QProcess watch;
    watch.start(QString::fromUtf8(TALLOWPEN_CLI_PATH),
                {u"--home"_s, m_home->path(), u"--server"_s, m_server->address(), u"watch"_s, u"--for"_s, u"4"_s});
    // Listening once its last statement of setting up has run.
    const auto listening = [&] {
        Result<ServerRows> rows = owner->run("SELECT count(*) FROM pg_stat_activity WHERE datname = "
                                             "current_database() AND query LIKE 'SELECT coalesce(max(seq)%'");
        return rows && rows->number(0, 0) == 1;
    };
    QTRY_VERIFY_WITH_TIMEOUT(listening(), 10000);
    QCOMPARE(onServer({u"save"_s, u"field"_s, u"0012.txt"_s, u"4"_s, u"--comment"_s, u"c"_s}).status, 0);
    QByteArray printed;
    QTRY_VERIFY_WITH_TIMEOUT((printed += watch.readAllStandardOutput()).contains('\n'), 1000);
    QVERIFY(watch.waitForFinished(10000));
    QCOMPARE(watch.exitCode(), 0);
    static const QRegularExpression line(u"^\\{\"seq\": \\d+, \"table\": \"field\", \"file_name\": \"0012.txt\", "
                                         "\"dialogue_id\": 4, \"version\": 2, \"user\": \"postgres\", "
                                         "\"time\": \"[-0-9T:]+Z\"\\}\n$"_s);
    printed += watch.readAllStandardOutput();
    QVERIFY2(line.match(QString::fromUtf8(printed)).hasMatch(), printed.constData());
}

void tst_TeamCli::whoListsPeopleAtWork()
{
    Result<ServerConnection> editor = ServerConnection::open(m_server->address());
    QVERIFY(editor);
    QVERIFY(Presence::enter(*editor, {u"field"_s, u"0012.txt"_s, 3}));
    const CliRun run = onServer({u"who"_s});
    QCOMPARE(run.status, 0);
    static const QRegularExpression line(u"^\\{\"user\": \"postgres\", \"table\": \"field\", \"file_name\": "
                                         "\"0012.txt\", \"dialogue_id\": 3, \"since\": \"[-0-9T:]+Z\"\\}\n$"_s);
    QVERIFY2(line.match(run.out).hasMatch(), qPrintable(run.out));
}

QTEST_GUILESS_MAIN(tst_TeamCli)
#include "tst_teamcli.moc"
