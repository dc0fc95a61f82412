#include "scripts/scriptexport.h"
#include "files/safefile.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// The attacks of a hostile user on the files around the store. Each must end
// at once with a message, and leave the store and every file whole.
class tst_Attacks : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void readRefusals_data();
    void readRefusals();
    void throughTheCli_data();
    void throughTheCli();
    void storeFile_data();
    void storeFile();
    void fullDisk_data();
    void fullDisk();
    void exportRefusals_data();
    void exportRefusals();

private:
    int run(const QString &home, const QStringList &arguments); // -1: killed
    void write(const QString &path, const QByteArray &bytes);
    void storeScripts(int count, int size, char fill);
    ExportResult exportAll();

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<QTemporaryDir> m_scripts;
    QString m_err;
};

namespace {

QString storedState(const QString &storePath)
{
    Database db;
    const Result<Done> opened = openStore(db, storePath);
    QString state = opened ? QString() : opened.error().message;
    for (const QString &sql : {u"SELECT * FROM field"_s, u"SELECT * FROM suggestion"_s}) {
        Result<ResultSet> rows = db.query(sql);
        if (!rows)
            return rows.error().message;
        for (; rows->next(); state += u'\n') {
            for (int c = 0; c < rows->columnCount(); ++c)
                state += rows->text(c) + u'|';
        }
    }
    return state;
}

QMap<QString, QByteArray> filesIn(const QString &folder)
{
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        QFile file(QDir(folder).filePath(name));
        files[name] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("unreadable");
    }
    return files;
}

} // namespace

int tst_Attacks::run(const QString &home, const QStringList &arguments)
{
    QProcess process;
    process.start(QString::fromUtf8(TALLOWPEN_CLI_PATH), QStringList{u"--home"_s, home} + arguments);
    // A reader stuck on a pipe would hold the test for good.
    const bool finished = process.waitForFinished(10000);
    if (!finished) {
        process.kill();
        process.waitForFinished();
    }
    m_err = QString::fromUtf8(process.readAllStandardError());
    return finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void tst_Attacks::write(const QString &path, const QByteArray &bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

void tst_Attacks::init()
{
    m_home = std::make_unique<TestHome>(TestHome::StoreOnly);
    m_scripts = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->execute(u"INSERT INTO field VALUES ('a.txt', 1, 'Hello', 24, 2, 'note', 1, 1, 'Hola', 0, 0)"_s));
    QVERIFY(m_home->execute(u"INSERT INTO suggestion VALUES ('sword', 'espada', '', '', '', '', '')"_s));
    write(m_scripts->filePath(u"battle_script/b.txt"_s), "<TextBlock 1 w:24 h:2>\r\nGo<End of Block>\r\n");
    write(m_scripts->filePath(u"field/a.txt"_s), "<TextBlock 1 w:24 h:2>\r\nHello<End of Block>\r\n");
}

void tst_Attacks::readRefusals_data()
{
    QTest::addColumn<QString>("name"); // empty: the folder itself
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<QString>("reason");
    QTest::newRow("folder") << QString() << SafeFile::ReadLimit << u"folder"_s;
    QTest::newRow("over the limit") << u"x.txt"_s << qint64(16) << u"larger than 16 bytes"_s;
    QTest::newRow("the store's journal") << u"tallowpen.db-wal"_s << SafeFile::ReadLimit << u"database file"_s;
}

void tst_Attacks::readRefusals()
{
    QFETCH(QString, name);
    QFETCH(qint64, limit);
    QFETCH(QString, reason);
    if (!name.isEmpty())
        write(m_scripts->filePath(name), QByteArray(17, 'a'));
    const Result<QByteArray> read = SafeFile::readRegular(m_scripts->filePath(name), limit);
    QVERIFY(!read);
    QVERIFY2(read.error().message.contains(reason), qPrintable(read.error().message));
}

void tst_Attacks::throughTheCli_data()
{
    QTest::addColumn<QString>("link");   // made in the scripts folder, to `target` ("fifo": a new FIFO)
    QTest::addColumn<QString>("target"); // for no link: a file written there, holding `target`
    QTest::addColumn<QStringList>("command"); // FOLDER: the scripts folder
    const QStringList reimport{u"import-original"_s, u"--yes"_s, u"FOLDER"_s};
    QTest::newRow("script linked to a device") << u"field/z.txt"_s << u"/dev/zero"_s << reimport;
    QTest::newRow("script linked to a FIFO") << u"field/z.txt"_s << u"fifo"_s << reimport;
    QTest::newRow("links file is a device") << QString() << QString()
                                            << QStringList{u"links-import"_s, u"/dev/zero"_s};
    QTest::newRow("translation file is a device")
        << QString() << QString()
        << QStringList{u"save"_s, u"field"_s, u"a.txt"_s, u"1"_s, u"--translation-file"_s, u"/dev/urandom"_s};
    QTest::newRow("translations, folder that cannot be listed")
        << QString() << u"field"_s << QStringList{u"import-translated"_s, u"FOLDER"_s};
    QTest::newRow("save of a block that is not there")
        << QString() << QString() << QStringList{u"save"_s, u"field"_s, u"b.txt"_s, u"1"_s, u"--translation"_s, u"x"_s};
    // A failing step after the deletion stands for a kill in the middle.
    QTest::newRow("re-import, failing file after good ones") << QString() << u"field/b.txt"_s << reimport;
    QTest::newRow("re-import, apostrophe in a name") << QString() << u"field/it's.txt"_s << reimport;
    QTest::newRow("re-import, name not UTF-8") << QString() << u"field/%FF.txt"_s << reimport;
    QTest::newRow("re-import, no battle_script folder") << QString() << u"battle_script"_s << reimport;
}

void tst_Attacks::throughTheCli()
{
    QFETCH(QString, link);
    QFETCH(QString, target);
    QFETCH(QStringList, command);
    if (target == u"fifo") {
        target = m_scripts->filePath(u"pipe"_s);
        QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
    }
    if (!link.isEmpty()) {
        QVERIFY(QFile::link(target, m_scripts->filePath(link)));
    } else if (!target.isEmpty()) {
        // A folder named goes, a file takes its place but for battle_script;
        // percent escapes stand for bytes: names that are not UTF-8.
        QDir(m_scripts->filePath(target)).removeRecursively();
        const QByteArray path = QByteArray::fromPercentEncoding(QFile::encodeName(m_scripts->filePath(target)));
        if (target != u"battle_script") {
            const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
            QVERIFY(fd >= 0 && ::write(fd, "<TextBlock 99999 w:1 h:1>\r\n", 27) == 27 && ::close(fd) == 0);
        }
    }
    command.replaceInStrings(u"FOLDER"_s, m_scripts->path());
    const QString before = storedState(m_home->storePath());

    QCOMPARE(run(m_home->path(), command), 1);
    QVERIFY(!m_err.isEmpty());
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
        write(store, {});
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(store).constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, layout.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
    const QMap<QString, QByteArray> before = filesIn(home.path());

    QCOMPARE(run(home.path(), {command}), 1);
    QVERIFY(!m_err.isEmpty());
    QVERIFY(!QFileInfo::exists(elsewhere));
    QCOMPARE(filesIn(home.path()), before);
}

void tst_Attacks::storeScripts(int count, int size, char fill)
{
    Database db;
    QVERIFY(openStore(db, m_home->storePath()) && db.begin() && db.execute(u"DELETE FROM field"_s));
    const QString text(size, QChar::fromLatin1(fill));
    for (int i = 0; i < count; ++i)
        QVERIFY(db.execute(
            u"INSERT INTO field VALUES ('%1.txt', 1, 'o', 24, 2, '', 1, 0, '%2', 0, 0)"_s.arg(i).arg(text)));
    QVERIFY(db.commit());
}

ExportResult tst_Attacks::exportAll()
{
    Database db;
    ExportFailure unread;
    unread.message = u"store"_s;
    if (!openStore(db, m_home->storePath()))
        return unread;
    const Result<std::vector<ExportListRow>> rows = fillExportList(db, 0, false);
    if (!rows)
        return unread;
    return exportScripts(db, m_home->path(), *rows, false, false);
}

void tst_Attacks::fullDisk_data()
{
    QTest::addColumn<bool>("earlierExport");
    QTest::newRow("first export") << false;
    QTest::newRow("over an earlier export") << true;
}

void tst_Attacks::fullDisk()
{
    QFETCH(bool, earlierExport);
    if (::geteuid() != 0)
        QSKIP("Only root can mount the small tmpfs that stands for a full disk.");
    const QString folder = m_home->filePath(u"Translated/field"_s);
    QVERIFY(QDir().mkpath(folder));
    if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=2m") != 0)
        QSKIP(qPrintable(u"A tmpfs cannot be mounted here: "_s + QString::fromLocal8Bit(std::strerror(errno))));
    struct Unmount
    {
        QByteArray path;
        ~Unmount() { ::umount2(path.constData(), MNT_DETACH); }
    } unmount{QFile::encodeName(folder)};

    QMap<QString, QByteArray> earlier;
    if (earlierExport) {
        storeScripts(250, 1000, 'a');
        QVERIFY(exportAll().ok());
        earlier = filesIn(folder);
    }
    // Files smaller than the write buffer, as most scripts are.
    storeScripts(250, 9800, 'b');
    const ExportResult full = exportAll();
    const QMap<QString, QByteArray> left = filesIn(folder);
    ::umount2(unmount.path.constData(), MNT_DETACH);
    QVERIFY(exportAll().ok());
    const QMap<QString, QByteArray> whole = filesIn(folder);
    QCOMPARE(whole.size(), 250);
    for (auto it = left.begin(); it != left.end(); ++it) {
        QVERIFY2(it.value() == whole.value(it.key()) || it.value() == earlier.value(it.key()),
                 qPrintable(it.key() + u" is cut or no script"_s));
    }
    QVERIFY(!full.ok());
    QCOMPARE(left.size(), earlierExport ? 250 : full.error().written);
    // The scripts after a full one are still tried: one may fit.
    QCOMPARE(full.error().written + full.error().failures.size(), 250);
}

void tst_Attacks::exportRefusals_data()
{
    QTest::addColumn<QString>("link"); // under Translated/, to the folder outside or its file
    QTest::addColumn<QString>("name"); // the stored script name
    QTest::addColumn<QString>("why");
    QTest::addColumn<int>("written"); // of the two scripts
    QTest::newRow("linked script file") << u"field/0.txt"_s << u"0.txt"_s << u"symbolic link"_s << 1;
    QTest::newRow("linked folder") << u"field"_s << u"0.txt"_s << u"symbolic link"_s << 0;
    QTest::newRow("apostrophe in the stored name") << QString() << u"0.txt` OR file_name <> `"_s << u"apostrophe"_s
                                                   << 1;
}

void tst_Attacks::exportRefusals()
{
    QFETCH(QString, link);
    QFETCH(QString, name);
    QFETCH(QString, why);
    QFETCH(int, written);
    QTemporaryDir outside;
    write(outside.filePath(u"0.txt"_s), "keep");
    QVERIFY(QDir().mkpath(m_home->filePath(u"Translated/"_s + QFileInfo(link).path())));
    if (!link.isEmpty())
        QVERIFY(QFile::link(outside.filePath(link.section(u'/', 1)), m_home->filePath(u"Translated/"_s + link)));
    storeScripts(2, 10, 'c');
    // Stored as a hostile hand would leave it: the quote mapping undone.
    QVERIFY(m_home->execute(u"UPDATE field SET file_name = '%1' WHERE file_name = '0.txt'"_s.arg(name)));
    QVERIFY(m_home->execute(u"UPDATE field SET file_name = replace(file_name, '`', char(39))"_s));

    const ExportResult result = exportAll();
    QVERIFY(!result.ok());
    QVERIFY2(result.error().message.contains(why), qPrintable(result.error().message));
    QCOMPARE(filesIn(outside.path()), (QMap<QString, QByteArray>{{u"0.txt"_s, "keep"}}));
    QCOMPARE(result.error().written, written);
}

QTEST_GUILESS_MAIN(tst_Attacks)
#include "tst_attacks.moc"
