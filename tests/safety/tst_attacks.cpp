#include "store/database.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <sqlite3.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

// The attacks through tallowpen-cli, as a hostile user makes them: each must
// end at once with a message, the store and the files as they were.
class tst_Attacks : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void readers_data();
    void readers();
    void reimport_data();
    void reimport();
    void storeFile_data();
    void storeFile();

private:
    // Exit status, or -1 when it had to be killed; stderr in `err`.
    int run(const QString &home, const QStringList &arguments);
    QString storedState(const QString &storePath);
    void writeScript(const QString &relative, const QByteArray &bytes);

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<QTemporaryDir> m_scripts;
    QString m_err;
};

int tst_Attacks::run(const QString &home, const QStringList &arguments)
{
    QProcess process;
    process.start(QString::fromUtf8(TALLOWPEN_CLI_PATH), QStringList{u"--home"_s, home} + arguments);
    // A reader stuck on a pipe would hold the test for good: it gets ten seconds.
    const bool finished = process.waitForFinished(10000);
    if (!finished) {
        process.kill();
        process.waitForFinished();
    }
    m_err = QString::fromUtf8(process.readAllStandardError());
    return finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QString tst_Attacks::storedState(const QString &storePath)
{
    Database db;
    if (!openStore(db, storePath))
        return db.lastError().message;
    QString state;
    for (const QString &sql : {u"SELECT * FROM field"_s, u"SELECT * FROM suggestion"_s}) {
        ResultSet rows = db.query(sql);
        while (!rows.step()) {
            for (int c = 0; c < rows.columnCount(); ++c)
                state += rows.text(c) + u'|';
            state += u'\n';
        }
    }
    return state;
}

void tst_Attacks::writeScript(const QString &relative, const QByteArray &bytes)
{
    QVERIFY(QDir(m_scripts->path()).mkpath(QFileInfo(relative).path()));
    QFile file(m_scripts->filePath(relative));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

void tst_Attacks::init()
{
    m_home = std::make_unique<TestHome>(TestHome::StoreOnly);
    m_scripts = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->execute(u"INSERT INTO field VALUES ('a.txt', 1, 'Hello', 24, 2, 'note', 1, 1, 'Hola', 0, 0)"_s));
    QVERIFY(m_home->execute(u"INSERT INTO suggestion VALUES ('sword', 'espada', '', '', '', '', '')"_s));
    writeScript(u"battle_script/b.txt"_s, "<TextBlock 1 w:24 h:2>\r\nGo<End of Block>\r\n");
    writeScript(u"field/a.txt"_s, "<TextBlock 1 w:24 h:2>\r\nHello<End of Block>\r\n");
}

void tst_Attacks::readers_data()
{
    QTest::addColumn<QString>("link");      // made in the scripts folder, to `target`
    QTest::addColumn<QString>("target");    // "fifo": a FIFO beside the link
    QTest::addColumn<QStringList>("command"); // FOLDER stands for the scripts folder
    QTest::newRow("script linked to a device") << u"field/z.txt"_s << u"/dev/zero"_s
                                               << QStringList{u"import-original"_s, u"--yes"_s, u"FOLDER"_s};
    QTest::newRow("script linked to a FIFO") << u"field/z.txt"_s << u"fifo"_s
                                             << QStringList{u"import-original"_s, u"--yes"_s, u"FOLDER"_s};
    QTest::newRow("translations linked to a FIFO") << u"field/0.txt"_s << u"fifo"_s
                                                   << QStringList{u"import-translated"_s, u"FOLDER"_s};
    QTest::newRow("links file is a device") << QString() << QString()
                                            << QStringList{u"links-import"_s, u"/dev/zero"_s};
    QTest::newRow("translation file is a device")
        << QString() << QString()
        << QStringList{u"save"_s, u"field"_s, u"a.txt"_s, u"1"_s, u"--translation-file"_s, u"/dev/urandom"_s};
}

void tst_Attacks::readers()
{
    QFETCH(QString, link);
    QFETCH(QString, target);
    QFETCH(QStringList, command);
    if (target == u"fifo") {
        target = m_scripts->filePath(u"pipe"_s);
        QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
    }
    if (!link.isEmpty())
        QVERIFY(QFile::link(target, m_scripts->filePath(link)));
    command.replaceInStrings(u"FOLDER"_s, m_scripts->path());
    const QString before = storedState(m_home->storePath());

    QCOMPARE(run(m_home->path(), command), 1);
    QVERIFY2(m_err.contains(u"not a regular file"_s), qPrintable(m_err));
    QCOMPARE(storedState(m_home->storePath()), before);
}

void tst_Attacks::reimport_data()
{
    QTest::addColumn<QString>("badFile"); // written into the scripts folder
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("failing file after good ones") << u"field/b.txt"_s << QByteArray("<TextBlock 99999 w:1 h:1>\r\n");
    QTest::newRow("apostrophe in a name") << u"field/it's.txt"_s << QByteArray("x<End of Block>\r\n");
    QTest::newRow("no battle_script folder") << QString() << QByteArray();
}

void tst_Attacks::reimport()
{
    QFETCH(QString, badFile);
    QFETCH(QByteArray, bytes);
    if (badFile.isEmpty())
        QVERIFY(QDir(m_scripts->filePath(u"battle_script"_s)).removeRecursively());
    else
        writeScript(badFile, bytes);
    const QString before = storedState(m_home->storePath());

    QCOMPARE(run(m_home->path(), {u"import-original"_s, u"--yes"_s, m_scripts->path()}), 1);
    QCOMPARE(storedState(m_home->storePath()), before);
}

void tst_Attacks::storeFile_data()
{
    QTest::addColumn<QString>("layout"); // the store file's tables; "link": a dangling link
    QTest::addColumn<QString>("command");
    QTest::newRow("dangling link, init") << u"link"_s << u"init"_s;
    QTest::newRow("empty file, status") << QString() << u"status"_s;
    QTest::newRow("columns out of order, status")
        << u"CREATE TABLE field (dialogue_id, file_name, text_data, width, height, comments, translated, revised, "
           "text_data_t, new_width, new_height)"_s
        << u"status"_s;
}

void tst_Attacks::storeFile()
{
    QFETCH(QString, layout);
    QFETCH(QString, command);
    QTemporaryDir home;
    const QString store = home.filePath(u"tallowpen.db"_s);
    const QString elsewhere = m_scripts->filePath(u"elsewhere.db"_s);
    if (layout == u"link") {
        QVERIFY(QFile::link(elsewhere, store));
    } else {
        QFile file(store);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        if (!layout.isEmpty()) {
            sqlite3 *db = nullptr;
            QCOMPARE(sqlite3_open(QFile::encodeName(store).constData(), &db), SQLITE_OK);
            QCOMPARE(sqlite3_exec(db, layout.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(db);
        }
    }
    QFile original(store);
    const QByteArray bytes = original.open(QIODevice::ReadOnly) ? original.readAll() : QByteArray();
    original.close();

    QCOMPARE(run(home.path(), {command}), 1);
    QVERIFY(!m_err.isEmpty());
    QVERIFY(!QFileInfo::exists(elsewhere));
    QFile after(store);
    QCOMPARE(after.open(QIODevice::ReadOnly) ? after.readAll() : QByteArray(), bytes);
    QVERIFY(!QFileInfo::exists(store + u"-wal"_s));
}

QTEST_GUILESS_MAIN(tst_Attacks)
#include "tst_attacks.moc"
