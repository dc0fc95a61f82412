#include "project/serverundo.h"
#include "project/sqlitestore.h"
#include "server/serverstore.h"
#include "store/layout.h"
#include "tests/support/clirun.h"
#include "tests/support/storedblock.h"
#include "tests/support/testdatabase.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
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
    void initLeavesTheStoreToTheServer();
    void readingCommandsSeeTheServersRows();
    void restoreIsAVersionedBatch();
    void aCommandsBatchIsTheEditorsToUndo();
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
    // What the writing commands read.
    for (const QString &folder : {u"battling_arena"_s, u"battle_script"_s, u"field"_s})
        QVERIFY(QDir(m_home->path()).mkpath(u"scripts/"_s + folder) && QDir(m_home->path()).mkpath(u"tr/"_s + folder));
    QVERIFY(m_home->write(u"scripts/field/0012.txt"_s, "<TextBlock 3 w:30 h:2>\r\nHi.<End of Block>\r\n"
                                                       "<TextBlock 4 w:24 h:2>\r\nNew.<End of Block>\r\n"));
    QVERIFY(m_home->write(u"tr/battle_script/b.txt"_s, "<TextBlock 1 w:1 h:1>\r\n\xc1rbol.<End of Block>\r\n"));
    QVERIFY(m_home->write(u"links.txt"_s, "axe, hacha\r\n"));
    QVERIFY(m_home->write(u"g.csv"_s, "word,suggest1,suggest2,suggest3,suggest4,suggest5,comment\nsol,sun,,,,,\n"));
    QVERIFY(m_home->write(u"x.xlf"_s, R"(<?xml version="1.0" encoding="UTF-8"?>
<xliff version="1.2" xmlns="urn:oasis:names:tc:xliff:document:1.2"><file original="battle_script/b.txt"
source-language="en" target-language="es" datatype="plaintext"><body><trans-unit id="1"
resname="battle_script:b.txt;1"><source>Tree.</source><target state="translated">Ese 'tree'</target>
</trans-unit></body></file></xliff>)"));
    QVERIFY(m_home->write(u"po/b.po"_s,
                          "msgctxt \"battle_script:b.txt;1\"\nmsgid \"Tree.\"\nmsgstr \"Un \\\"tree\\\"\"\n"));
}

void tst_ServerCli::sameLinesOnBothStores_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("changes");
    QTest::newRow("block") << QStringList{u"block"_s, u"field"_s, u"0012.txt"_s, u"3"_s} << false;
    QTest::newRow("save") << QStringList{u"save"_s, u"field"_s, u"0012.txt"_s, u"3"_s, u"--translation"_s, u"Y'a"_s}
                          << true;
    QTest::newRow("save into no block") << QStringList{u"save"_s, u"field"_s, u"0012.txt"_s, u"8"_s} << false;
    QTest::newRow("tree") << QStringList{u"tree"_s} << false;
    QTest::newRow("status") << QStringList{u"status"_s} << false;
    QTest::newRow("search") << QStringList{u"search"_s, u"ÁRBOL"_s} << false;
    QTest::newRow("search a refused text") << QStringList{u"search"_s, u"a"_s} << false;
    QTest::newRow("export") << QStringList{u"export"_s, u"--all"_s, u"--include-untranslated"_s} << false;
    QTest::newRow("export-list") << QStringList{u"export-list"_s} << false;
    QTest::newRow("view") << QStringList{u"view"_s, u"field"_s, u"0012.txt"_s} << false;
    QTest::newRow("stats") << QStringList{u"stats"_s} << false;
    QTest::newRow("check") << QStringList{u"check"_s} << false;
    QTest::newRow("links") << QStringList{u"links"_s} << false;
    QTest::newRow("link-set with quotes and a backslash")
        << QStringList{u"link-set"_s, u"it's"_s, u"--suggest"_s, u"es \"eso\""_s, u"--comment"_s, u"a\\b"_s} << true;
    QTest::newRow("link-set --modify")
        << QStringList{u"link-set"_s, u"tarde"_s, u"--suggest"_s, u"noche"_s, u"--modify"_s} << true;
    QTest::newRow("link-erase") << QStringList{u"link-erase"_s, u"tarde"_s} << true;
    QTest::newRow("suggest") << QStringList{u"suggest"_s, u"battle_script"_s, u"b.txt"_s, u"1"_s} << false;
    QTest::newRow("highlight") << QStringList{u"highlight"_s, u"--text"_s, u"Es tarde"_s} << false;
    QTest::newRow("word-at") << QStringList{u"word-at"_s, u"--text"_s, u"Es tarde"_s, u"4"_s} << false;
    QTest::newRow("export-glossary") << QStringList{u"export-glossary"_s, u"@/out.csv"_s} << false;
    QTest::newRow("import-original --yes") << QStringList{u"import-original"_s, u"--yes"_s, u"@/scripts"_s} << true;
    QTest::newRow("import-original refused") << QStringList{u"import-original"_s, u"@/scripts"_s} << false;
    QTest::newRow("update-original") << QStringList{u"update-original"_s, u"@/scripts"_s} << true;
    QTest::newRow("import-translated") << QStringList{u"import-translated"_s, u"@/tr"_s} << true;
    QTest::newRow("links-import") << QStringList{u"links-import"_s, u"@/links.txt"_s} << true;
    QTest::newRow("import-glossary") << QStringList{u"import-glossary"_s, u"@/g.csv"_s} << true;
    QTest::newRow("import-xliff") << QStringList{u"import-xliff"_s, u"@/x.xlf"_s} << true;
    QTest::newRow("import-po") << QStringList{u"import-po"_s, u"@/po"_s} << true;
    QTest::newRow("replace") << QStringList{u"replace"_s, u"árbol"_s, u"bosque"_s, u"--in"_s, u"translated"_s} << true;
    QTest::newRow("fit") << QStringList{u"fit"_s, u"field"_s, u"0012.txt"_s, u"3"_s, u"--size"_s, u"4"_s, u"2"_s}
                         << true;
    QTest::newRow("resize") << QStringList{u"resize"_s, u"field"_s, u"0012.txt"_s, u"3"_s, u"right"_s, u"down"_s}
                            << true;
    // After an update of the originals (run first on each store) took b.txt's block away.
    QTest::newRow("removed-blocks") << QStringList{u"removed-blocks"_s} << false;
    QTest::newRow("removed-blocks --restore") << QStringList{u"removed-blocks"_s, u"--restore"_s, u"1"_s} << true;
    QTest::newRow("check after an update of the originals") << QStringList{u"check"_s} << false;
    // The changed original is a warning: it stops no export, on either store.
    QTest::newRow("export after an update of the originals")
        << QStringList{u"export"_s, u"--all"_s, u"--include-untranslated"_s} << false;
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

// Every row and link a store holds, as text.
QString contentOf(ProjectStore &store)
{
    QString seen;
    for (const QString &table : ScriptTables::all) {
        Result<std::vector<BlockRow>> rows = store.blockRows(table);
        for (const BlockRow &row : rows ? *rows : std::vector<BlockRow>()) {
            for (const QVariant &value : row)
                seen += value.toString() + u'|';
            seen += u'\n';
        }
    }
    Result<std::vector<LinkColumns>> links = store.links();
    for (const LinkColumns &link : links ? *links : std::vector<LinkColumns>())
        seen += QStringList(link.begin(), link.end()).join(u'|') + u'\n';
    return seen;
}

void tst_ServerCli::sameLinesOnBothStores()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, changes);
    arguments.replaceInStrings(u"@"_s, m_home->path());
    const bool afterUpdate = arguments.first() == u"removed-blocks"
        || QByteArrayView(QTest::currentDataTag()).endsWith("after an update of the originals");
    if (afterUpdate) {
        const QStringList update{u"update-original"_s, m_home->path() + u"/scripts"_s};
        QCOMPARE(runCli(m_home->path(), update).status + onServer(update).status, 0);
    }
    Result<std::unique_ptr<SqliteStore>> localStore = SqliteStore::open(m_home->storePath());
    Result<ServerStore> serverStore = ServerStore::open(m_server->address());
    QVERIFY(localStore && serverStore);
    const QString before = contentOf(**localStore);
    const CliRun local = runCli(m_home->path(), arguments);
    const QString localFiles = takeExported(m_home->path());
    const QString localContent = contentOf(**localStore);
    const CliRun server = onServer(arguments);
    QCOMPARE(takeExported(m_home->path()), localFiles);
    QCOMPARE(contentOf(*serverStore), localContent);
    QCOMPARE(QDir(m_home->path()).entryList({u".server-*"_s}, QDir::AllEntries | QDir::Hidden), QStringList());
    QVERIFY(arguments.first() != u"export" || !localFiles.isEmpty());
    QCOMPARE(server.status, local.status);
    // Copies taken before a change are named by their time.
    static const QRegularExpression taken(u"backups/[-_0-9]+_"_s);
    QCOMPARE(QString(server.err).replace(taken, u"backups/"_s), QString(local.err).replace(taken, u"backups/"_s));
    // The server's block adds who changed it and its version at the end.
    static const QRegularExpression team(u", \"version\": 1, \"updated_by\": \"[^\"]+\", \"updated_at\": \"[-0-9T:]+Z\"}"_s);
    QString out = server.out;
    if (arguments.first() == u"block")
        out.replace(team, u"}"_s);
    static const QRegularExpression time(u"\"time\": \"[^\"]+\""_s);
    QCOMPARE(out.replace(time, u"time"_s), QString(local.out).replace(time, u"time"_s));
    QCOMPARE(localContent != before, changes);
    QVERIFY(arguments != QStringList{u"removed-blocks"_s} || local.out.contains(u"\"file_name\": \"b.txt\""_s));
    QVERIFY(!afterUpdate || arguments.first() != u"check" || server.out.contains(u"The original changed"_s));
}

void tst_ServerCli::refusals_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
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

void tst_ServerCli::initLeavesTheStoreToTheServer()
{
    TestHome fresh(TestHome::Nothing);
    const CliRun run = runCli(fresh.path(), {u"--server"_s, m_server->address(), u"init"_s});
    QCOMPARE(run.status, 0);
    QVERIFY2(run.out.startsWith(u"The store is the server's: "_s), qPrintable(run.out + run.err));
    QVERIFY(!QFileInfo::exists(fresh.storePath()));
}

void tst_ServerCli::readingCommandsSeeTheServersRows()
{
    const CliRun saved = onServer({u"save"_s, u"field"_s, u"0012.txt"_s, u"3"_s, u"--translation"_s, u"Solo aquí"_s});
    QCOMPARE(saved.status, 0);
    QVERIFY2(onServer({u"export-list"_s}).out.contains(u"Solo aquí"_s), "the server's copy was not read");
    QVERIFY(!runCli(m_home->path(), {u"export-list"_s}).out.contains(u"Solo aquí"_s));
}

void tst_ServerCli::restoreIsAVersionedBatch()
{
    const CliRun backup = runCli(m_home->path(), {u"backup"_s});
    const QString file = QRegularExpression(u"\"file\": \"([^\"]+)\""_s).match(backup.out).captured(1);
    QVERIFY2(!file.isEmpty(), qPrintable(backup.out + backup.err));
    QCOMPARE(onServer({u"save"_s, u"field"_s, u"0012.txt"_s, u"3"_s, u"--translation"_s, u"Otro"_s}).status, 0);
    QCOMPARE(onServer({u"link-erase"_s, u"tarde"_s}).status, 0);
    const CliRun restored = onServer({u"restore"_s, file});
    QCOMPARE(restored.err, QString());
    QVERIFY2(restored.out.contains(u"_pull.db"_s), qPrintable(restored.out));
    Result<std::unique_ptr<SqliteStore>> localStore = SqliteStore::open(m_home->storePath());
    Result<ServerStore> serverStore = ServerStore::open(m_server->address());
    QVERIFY(localStore && serverStore);
    QCOMPARE(contentOf(*serverStore), contentOf(**localStore));
    // Saved as any save is: a new version, the replaced text in the history.
    QVERIFY(onServer({u"block"_s, u"field"_s, u"0012.txt"_s, u"3"_s}).out.contains(u"\"version\": 3"_s));
    QVERIFY(onServer({u"history"_s, u"field"_s, u"0012.txt"_s, u"3"_s}).out.contains(u"Otro"_s));
}

void tst_ServerCli::aCommandsBatchIsTheEditorsToUndo()
{
    const auto translation = [&] {
        const CliRun shown = onServer({u"block"_s, u"field"_s, u"0012.txt"_s, u"3"_s});
        return QRegularExpression(u"\"translation\": \"[^\"]*\""_s).match(shown.out).captured(0);
    };
    const QString before = translation();
    QVERIFY(!before.isEmpty());
    QCOMPARE(onServer({u"replace"_s, u"árbol"_s, u"bosque"_s}).status, 0);
    QVERIFY(translation() != before);
    Result<ServerStore> store = ServerStore::open(m_server->address());
    QVERIFY(store);
    const Result<std::optional<ServerBatchRecord>> last = lastServerBatch(m_home->path(), store->connection().address());
    QVERIFY2(last && *last, "the command's batch was not kept for the editor");
    QCOMPARE((*last)->reason, u"replace"_s);
    QVERIFY(undoServerBatch(*store, m_home->path(), **last));
    QCOMPARE(translation(), before);
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
