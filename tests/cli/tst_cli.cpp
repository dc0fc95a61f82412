#include "tests/support/clirun.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QImage>
#include <QTest>

#include <sqlite3.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// The real tallowpen-cli run as other programs run it: how each command reads
// its words, the shape of what it prints and the status it exits with. The
// rules behind the commands are the libraries' tests' business.
class tst_Cli : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void run_data();
    void run();
    void renderDrawsTheBlockAtItsSize();
    void aReadOnlyFolderIsRead_data();
    void aReadOnlyFolderIsRead();

private:
    CliRun cli(QStringList arguments) const;
    bool behindTheProgramsBack(const QString &statement) const;
    std::unique_ptr<TestHome> m_home;
};

namespace {

// One run of data/runs.txt; its header says what each field means.
struct Case
{
    QByteArray name;
    QStringList arguments;
    int status = 0;
    QByteArray out;
    QString err;
    QStringList setup;
    QStringList then;
    QByteArray thenOut;
    QString file;
    QByteArray fileBytes;
};

void addCase(const Case &c)
{
    QTest::newRow(c.name.constData()) << c.arguments << c.status << c.out << c.err << c.setup << c.then << c.thenOut
                                      << c.file << c.fileBytes;
}

// \\, \r, \n and \xNN; any other backslash stands for itself.
QByteArray unescaped(const QByteArray &text)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (text[i] != '\\' || (next != '\\' && next != 'r' && next != 'n' && next != 'x')) {
            bytes += text[i];
        } else if (next == 'x') {
            bytes += char(text.mid(i + 2, 2).toInt(nullptr, 16));
            i += 3;
        } else {
            bytes += next == 'r' ? '\r' : next == 'n' ? '\n' : '\\';
            ++i;
        }
    }
    return bytes;
}

} // namespace

// Through SQLite itself, as a broken or foreign store would be changed: the
// program's own connection refuses to change the layout.
bool tst_Cli::behindTheProgramsBack(const QString &statement) const
{
    sqlite3 *db = nullptr;
    bool ok = sqlite3_open(m_home->storePath().toUtf8().constData(), &db) == SQLITE_OK;
    ok = ok && sqlite3_exec(db, statement.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

CliRun tst_Cli::cli(QStringList arguments) const
{
    arguments.replaceInStrings(u"@"_s, m_home->path());
    return runCli(m_home->path(), arguments);
}

// Three blocks (two of them translated), two links, and the files the
// commands read: script folders to import (one with a block number past 16
// bits), a links file, a text with mixed line ends, a small Spanish
// dictionary.
void tst_Cli::init()
{
    m_home = std::make_unique<TestHome>();
    QVERIFY(m_home->isValid());
    const QString insert = u"INSERT INTO %1 VALUES (%2)"_s;
    for (const QString &row : {
             insert.arg(u"field"_s,
                        u"'town`s.txt', 32767, 'It`s late.', 56, 2, 'a note', 1, 1, 'Es \"tarde\".', 0, 0"_s),
             insert.arg(u"field"_s, u"'town`s.txt', 2, 'Bye.', 56, 2, '', 0, 0, '', 40, 1"_s),
             insert.arg(u"battle_script"_s, u"'b.txt', 5, 'Go!', 20, 1, '', 1, 0, 'Ya ¿no?', 0, 0"_s),
             insert.arg(u"suggestion"_s, u"'sword', 'espada', '', '', '', '', ''"_s),
             insert.arg(u"suggestion"_s, u"'bow', '\"arco\"', '', '', '', '', 'old'"_s),
         }) {
        QVERIFY2(m_home->execute(row), qPrintable(row));
    }
    for (const QString &base : {u"scripts/"_s, u"translated/"_s, u"broken/"_s}) {
        for (const QString &folder : {u"battling_arena"_s, u"battle_script"_s, u"field"_s})
            QVERIFY(QDir(m_home->path()).mkpath(base + folder));
    }
    QVERIFY(m_home->write(u"scripts/field/new.txt"_s, "<TextBlock 1 w:24 h:2>\r\nHi.<End of Block>\r\n"));
    QVERIFY(m_home->write(u"translated/battle_script/b.txt"_s, "<TextBlock 5 w:1 h:1>\r\nAdi\xf3s.<End of Block>\r\n"));
    QVERIFY(m_home->write(u"broken/field/x.txt"_s, "<TextBlock 99999 w:1 h:1>\r\n<End of Block>\r\n"));
    QVERIFY(m_home->write(u"links.txt"_s, "axe, hacha\r\n"));
    QVERIFY(m_home->write(u"mixed/battling_arena/x.txt"_s, "<TextBlock 99999 w:1 h:1>\r\n<End of Block>\r\n"));
    QVERIFY(m_home->write(u"mixed/battle_script/b.txt"_s, "<TextBlock 5 w:1 h:1>\r\nYa.<End of Block>\r\n"));
    QVERIFY(m_home->write(u"twice/field/d.txt"_s, QByteArray("<TextBlock 1 w:24 h:2>\r\nHi.<End of Block>\r\n").repeated(2)));
    QVERIFY(QDir(m_home->path()).mkpath(u"twice/battle_script"_s));
    QVERIFY(m_home->write(u"nul.txt"_s, QByteArray("Hola\r\nmu\0ndo", 12)));
    QVERIFY(m_home->write(u"text.txt"_s, "sword x\r\nthe bow\nend"));
    QVERIFY(m_home->write(u"dict/es_ES.aff"_s, "SET UTF-8\nTRY aeiosndl\n"));
    QVERIFY(m_home->write(u"dict/es_ES.dic"_s, "3\nhola\nespada\nmundo\n"));
}

void tst_Cli::run_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QString>("err");
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<QStringList>("then");
    QTest::addColumn<QByteArray>("thenOut");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("fileBytes");
    QFile runs(QFINDTESTDATA("data/runs.txt"));
    QVERIFY(runs.open(QIODevice::ReadOnly));
    Case c;
    for (const QByteArray &line : runs.readAll().split('\n')) {
        const qsizetype blank = line.contains(' ') ? line.indexOf(' ') : line.size();
        const QByteArray key = line.left(blank);
        const QByteArray value = unescaped(line.mid(blank + 1));
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (line.startsWith('[')) {
            if (!c.name.isEmpty())
                addCase(c);
            c = Case();
            c.name = line.mid(1, line.size() - 2);
        } else if (key == "arg" || key == "then" || key == "setup") {
            (key == "arg" ? c.arguments : key == "then" ? c.then : c.setup) << QString::fromUtf8(value);
        } else if (key == "out" || key == "then-out") {
            (key == "out" ? c.out : c.thenOut) += value + '\n';
        } else if (key == "status") {
            c.status = value.toInt();
        } else if (key == "err" || key == "file") {
            (key == "err" ? c.err : c.file) = QString::fromUtf8(value);
        } else {
            QVERIFY2(key == "file-bytes", line.constData());
            c.fileBytes = value;
        }
    }
    addCase(c);
}

void tst_Cli::run()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QByteArray, out);
    QFETCH(QString, err);
    QFETCH(QStringList, setup);
    QFETCH(QStringList, then);
    QFETCH(QByteArray, thenOut);
    QFETCH(QString, file);
    QFETCH(QByteArray, fileBytes);
    for (const QString &statement : std::as_const(setup)) {
        if (statement == u"no store")
            QVERIFY(QFile::remove(m_home->storePath()));
        else
            QVERIFY2(behindTheProgramsBack(statement), qPrintable(statement));
    }
    const QByteArray home = m_home->path().toUtf8();
    const CliRun run = cli(arguments);
    QVERIFY2(run.status == status, qPrintable(run.err));
    QCOMPARE(run.bytes, out.replace('@', home));
    if (err.isEmpty())
        QCOMPARE(run.err, QString());
    else
        QVERIFY2(run.err.contains(err.replace(u'@', m_home->path())), qPrintable(run.err));
    if (!file.isEmpty()) {
        QFile left(m_home->filePath(file));
        QVERIFY2(left.open(QIODevice::ReadOnly), qPrintable(file));
        if (!fileBytes.isNull())
            QCOMPARE(left.readAll(), fileBytes);
    }
    if (!then.isEmpty()) {
        const CliRun next = cli(then);
        QVERIFY2(next.status == 0, qPrintable(next.err));
        QCOMPARE(next.bytes, thenOut);
    }
}

// The block's own window size and translation reach the preview.
void tst_Cli::renderDrawsTheBlockAtItsSize()
{
    QVERIFY(cli({u"render"_s, u"--block"_s, u"field"_s, u"town's.txt"_s, u"32767"_s, u"--out"_s, u"@/block.png"_s})
                .status == 0);
    QVERIFY(cli({u"render"_s, u"--size"_s, u"56"_s, u"2"_s, u"--text"_s, u"Es \"tarde\"."_s, u"--out"_s,
                 u"@/size.png"_s}).status == 0);
    const QImage block(m_home->filePath(u"block.png"_s));
    QVERIFY(!block.isNull());
    QCOMPARE(block, QImage(m_home->filePath(u"size.png"_s)));
}

namespace {

// Immutable flag of a folder, which binds root too where permissions do not.
bool setImmutable(const QString &folder, bool on)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    bool ok = fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    ok = ok && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0)
        ::close(fd);
    return ok;
}

// False when the folder cannot be made unwritable here.
bool setReadOnly(const QString &folder, bool on)
{
    const auto writable = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    QFile::setPermissions(folder, on ? writable & ~QFileDevice::WriteOwner : writable);
    if (!on) {
        setImmutable(folder, false); // fails harmlessly where it was never set
        return true;
    }
    return !QFileInfo(folder).isWritable() || (setImmutable(folder, true) && !QFileInfo(folder).isWritable());
}

} // namespace

void tst_Cli::aReadOnlyFolderIsRead_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("err"); // a part of stderr; empty: no refusal in it
    const QString refused = u"can only be read"_s;
    QTest::newRow("tree") << QStringList{u"tree"_s} << 0 << QString();
    QTest::newRow("status") << QStringList{u"status"_s} << 0 << QString();
    QTest::newRow("block") << QStringList{u"block"_s, u"battle_script"_s, u"b.txt"_s, u"5"_s} << 0 << QString();
    QTest::newRow("search") << QStringList{u"search"_s, u"late"_s} << 0 << QString();
    QTest::newRow("links") << QStringList{u"links"_s} << 0 << QString();
    QTest::newRow("view") << QStringList{u"view"_s, u"battle_script"_s, u"b.txt"_s} << 0 << QString();
    QTest::newRow("export-list") << QStringList{u"export-list"_s} << 0 << QString();
    QTest::newRow("stats") << QStringList{u"stats"_s} << 0 << QString();
    QTest::newRow("history") << QStringList{u"history"_s, u"battle_script"_s, u"b.txt"_s, u"5"_s} << 0 << QString();
    QTest::newRow("backups") << QStringList{u"backups"_s} << 0 << QString();
    QTest::newRow("save refuses") << QStringList{u"save"_s, u"battle_script"_s, u"b.txt"_s, u"5"_s, u"--translation"_s,
                                                 u"Nuevo"_s}
                                  << 1 << refused;
    QTest::newRow("link-set refuses") << QStringList{u"link-set"_s, u"shield"_s, u"--suggest"_s, u"escudo"_s} << 1
                                      << refused;
}

void tst_Cli::aReadOnlyFolderIsRead()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, err);
    const QString folder = m_home->path();
    const auto restore = qScopeGuard([&folder] { setReadOnly(folder, false); });
    if (!setReadOnly(folder, true))
        QSKIP("This file system or user cannot make a folder read-only.");
    const CliRun run = cli(arguments);
    QVERIFY2(!run.err.contains(u"readonly database"_s), qPrintable(run.err));
    QCOMPARE(run.status, status);
    QVERIFY2(err.isEmpty() ? !run.err.contains(u"can only be read"_s) : run.err.contains(err), qPrintable(run.err));
}

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"
