#include "tests/support/clirun.h"
#include "tests/support/storedblock.h"
#include "tests/support/testdatabase.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

// The command line with --server: the same lines as on the local store for
// the same content, and the refusals of what does not run there.
class tst_ServerCli : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void sameLinesOnBothStores_data();
    void sameLinesOnBothStores();
    void refusals_data();
    void refusals();
    void readingCommandsSeeTheServersRows();
    void pullIsListedAmongTheBackups_data();
    void pullIsListedAmongTheBackups();

private:
    CliRun onServer(const QStringList &arguments) const
    {
        return runCli(m_home->path(), QStringList{u"--server"_s, m_server->address()} + arguments);
    }
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<TestDatabase> m_server;
};

void tst_ServerCli::init()
{
    m_server = std::make_unique<TestDatabase>();
    if (!m_server->problem().isEmpty())
        QSKIP(qPrintable(m_server->problem()));
    m_home = std::make_unique<TestHome>(TestHome::StoreOnly);
    QVERIFY(insertBlock(*m_home, {u"field"_s, u"0012.txt"_s, 3, u"Hola.<End of Block>"_s, 24, 2, u"c"_s, 1, 0,
                                  u"El `árbol`"_s, 0, 0}));
    QVERIFY(insertBlock(*m_home, {u"battle_script"_s, u"b.txt"_s, 1, u"Tree."_s, 24, 2, {}, 0, 0, {}, 0, 0}));
    QVERIFY(m_home->execute(u"INSERT INTO suggestion (word, suggest1, comment) VALUES ('tarde', 'late', 'a `word`')"_s));
    const CliRun made = onServer({u"server-init"_s, u"--from-store"_s});
    QCOMPARE(made.err, QString());
    QVERIFY(made.out.contains(u"\"blocks\": 2, \"links\": 1"_s));
}

void tst_ServerCli::sameLinesOnBothStores_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("block") << QStringList{u"block"_s, u"field"_s, u"0012.txt"_s, u"3"_s};
    QTest::newRow("save") << QStringList{u"save"_s, u"field"_s, u"0012.txt"_s, u"3"_s, u"--translation"_s, u"Y'a"_s};
    QTest::newRow("save into no block") << QStringList{u"save"_s, u"field"_s, u"0012.txt"_s, u"8"_s};
    QTest::newRow("tree") << QStringList{u"tree"_s};
    QTest::newRow("status") << QStringList{u"status"_s};
    QTest::newRow("search") << QStringList{u"search"_s, u"ÁRBOL"_s};
    QTest::newRow("search a refused text") << QStringList{u"search"_s, u"a"_s};
    QTest::newRow("export") << QStringList{u"export"_s, u"--all"_s, u"--include-untranslated"_s};
    QTest::newRow("export-list") << QStringList{u"export-list"_s};
    QTest::newRow("view") << QStringList{u"view"_s, u"field"_s, u"0012.txt"_s};
    QTest::newRow("stats") << QStringList{u"stats"_s};
    QTest::newRow("check") << QStringList{u"check"_s};
    QTest::newRow("links") << QStringList{u"links"_s};
    QTest::newRow("link-set with quotes and a backslash")
        << QStringList{u"link-set"_s, u"it's"_s, u"--suggest"_s, u"es \"eso\""_s, u"--comment"_s, u"a\\b"_s};
    QTest::newRow("link-set --modify") << QStringList{u"link-set"_s, u"tarde"_s, u"--suggest"_s, u"noche"_s, u"--modify"_s};
    QTest::newRow("link-erase") << QStringList{u"link-erase"_s, u"tarde"_s};
}

namespace {

// The files an export wrote, names and bytes, and then gone for the next run.
QString takeExported(const QString &home)
{
    QDir folder(home + u"/Translated"_s);
    QStringList seen;
    for (QDirIterator files(folder.path(), QDir::Files, QDirIterator::Subdirectories); files.hasNext();) {
        QFile read(files.next());
        if (read.open(QIODevice::ReadOnly))
            seen << folder.relativeFilePath(read.fileName()) + u'=' + QString::fromLatin1(read.readAll().toHex());
    }
    seen.sort();
    folder.removeRecursively();
    return seen.join(u';');
}

} // namespace

void tst_ServerCli::sameLinesOnBothStores()
{
    QFETCH(QStringList, arguments);
    const CliRun local = runCli(m_home->path(), arguments);
    const QString localFiles = takeExported(m_home->path());
    const CliRun server = onServer(arguments);
    QCOMPARE(takeExported(m_home->path()), localFiles);
    QCOMPARE(QDir(m_home->path()).entryList({u".server-*"_s}, QDir::Files | QDir::Hidden), QStringList());
    QVERIFY(arguments.first() != u"export" || !localFiles.isEmpty());
    QCOMPARE(server.status, local.status);
    QCOMPARE(server.err, local.err);
    // The server's block adds who changed it and its version at the end.
    static const QRegularExpression team(u", \"version\": 1, \"updated_by\": \"[^\"]+\", \"updated_at\": \"[-0-9T:]+Z\"}"_s);
    QString out = server.out;
    if (arguments.first() == u"block")
        out.replace(team, u"}"_s);
    QCOMPARE(out, local.out);
    // A link written or erased is listed alike afterwards.
    if (arguments.first().startsWith(u"link-")) {
        QCOMPARE(local.status, 0);
        QCOMPARE(onServer({u"links"_s}).out, runCli(m_home->path(), {u"links"_s}).out);
    }
}

void tst_ServerCli::refusals_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("a command not on the server yet")
        << QStringList{u"--server"_s, u"host=/x"_s, u"replace"_s} << 1
        << u"replace does not work on a server store yet"_s;
    QTest::newRow("a backup names no reason on the server")
        << QStringList{u"backup"_s, u"--reason"_s, u"mine"_s} << 2 << u"leave out --reason"_s;
    QTest::newRow("pull without a server") << QStringList{u"pull"_s} << 2 << u"give --server URI"_s;
    QTest::newRow("an unreadable address") << QStringList{u"--server"_s, u"host=x port"_s, u"status"_s} << 1
                                           << u"The server address cannot be read"_s;
    QTest::newRow("set up twice") << QStringList{u"server-init"_s} << 1 << u"already holds tables (battle_script"_s;
}

void tst_ServerCli::refusals()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);
    if (arguments.first() == u"server-init" || arguments.first() == u"backup")
        arguments.prepend(m_server->address()), arguments.prepend(u"--server"_s);
    const CliRun run = runCli(m_home->path(), arguments);
    QCOMPARE(run.status, status);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
}

void tst_ServerCli::readingCommandsSeeTheServersRows()
{
    const CliRun saved = onServer({u"save"_s, u"field"_s, u"0012.txt"_s, u"3"_s, u"--translation"_s, u"Solo aquí"_s});
    QCOMPARE(saved.status, 0);
    QVERIFY2(onServer({u"export-list"_s}).out.contains(u"Solo aquí"_s), "the server's copy was not read");
    QVERIFY(!runCli(m_home->path(), {u"export-list"_s}).out.contains(u"Solo aquí"_s));
}

void tst_ServerCli::pullIsListedAmongTheBackups_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("pull") << u"pull"_s;
    QTest::newRow("backup on a server store") << u"backup"_s;
}

void tst_ServerCli::pullIsListedAmongTheBackups()
{
    QFETCH(QString, command);
    const CliRun pulled = onServer({command});
    QCOMPARE(pulled.status, 0);
    const CliRun listed = runCli(m_home->path(), {u"backups"_s});
    QVERIFY2(listed.out.contains(u"\"reason\": \"pull\""_s), qPrintable(listed.out));
    QVERIFY(pulled.out.contains(u"_pull.db"_s));
}

QTEST_GUILESS_MAIN(tst_ServerCli)
#include "tst_servercli.moc"
