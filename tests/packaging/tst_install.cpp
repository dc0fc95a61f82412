#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// What `cmake --install` leaves in a prefix: the files a desktop and a shell
// look for, valid by the desktop's own validators, and programs that find
// their installed font.
class tst_Install : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void files_data();
    void files();
    void aFirstStartGetsTheInstalledFont();
    void oneVersion_data();
    void oneVersion();

private:
    static QString data(const QString &name) { return QLatin1StringView(INSTALL_DATADIR) + u'/' + name; }
    QTemporaryDir m_prefix;
};

void tst_Install::initTestCase()
{
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QString::fromUtf8(CMAKE_COMMAND_PATH),
                  {u"--install"_s, QString::fromUtf8(BUILD_DIR), u"--prefix"_s, m_prefix.path()});
    QVERIFY(install.waitForFinished(120000));
    QVERIFY2(install.exitCode() == 0, install.readAll().constData());
}

void tst_Install::files_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("iconSize"); // a PNG of this size; 0: any file
    QTest::addColumn<QStringList>("validator"); // run on the file when installed here
    const QString bin = QLatin1StringView(INSTALL_BINDIR) + u'/';
    const QString man = QLatin1StringView(INSTALL_MANDIR) + u"/man1/"_s;
    QTest::newRow("editor") << bin + u"tallowpen"_s << 0 << QStringList();
    QTest::newRow("command line") << bin + u"tallowpen-cli"_s << 0 << QStringList();
    QTest::newRow("default font") << data(u"tallowpen/font/font.bmp"_s) << 0 << QStringList();
    QTest::newRow("desktop entry") << data(u"applications/org.tallowpen.Tallowpen.desktop"_s) << 0
                                   << QStringList{u"desktop-file-validate"_s};
    QTest::newRow("metainfo") << data(u"metainfo/org.tallowpen.Tallowpen.metainfo.xml"_s) << 0
                              << QStringList{u"appstreamcli"_s, u"validate"_s, u"--no-net"_s};
    const QStringList gzipped{u"gzip"_s, u"-t"_s};
    QTest::newRow("manuals") << man + u"tallowpen.1.gz"_s << 0 << gzipped;
    QTest::newRow("manuals, command line") << man + u"tallowpen-cli.1.gz"_s << 0 << gzipped;
    QTest::newRow("changelog") << data(u"doc/tallowpen/changelog.gz"_s) << 0 << gzipped;
    QTest::newRow("copyright") << data(u"doc/tallowpen/copyright"_s) << 0 << QStringList();
    QTest::newRow("completion") << data(u"bash-completion/completions/tallowpen-cli"_s) << 0 << QStringList();
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        QTest::addRow("icon %d", size) << data(u"icons/hicolor/%1x%1/apps/org.tallowpen.Tallowpen.png"_s.arg(size))
                                       << size << QStringList();
}

void tst_Install::files()
{
    QFETCH(QString, path);
    QFETCH(int, iconSize);
    QFETCH(QStringList, validator);
    const QFileInfo file(m_prefix.filePath(path));
    QVERIFY2(file.isFile() && file.size() > 0, qPrintable(path));
    QCOMPARE(file.isExecutable(), path.startsWith(QLatin1StringView(INSTALL_BINDIR)));
    if (iconSize > 0)
        QCOMPARE(QImageReader(file.filePath()).size(), QSize(iconSize, iconSize));
    if (validator.isEmpty())
        return;
    const QString program = QStandardPaths::findExecutable(validator.takeFirst());
    if (program.isEmpty())
        QSKIP("the validator is not installed");
    QProcess validate;
    validate.setProcessChannelMode(QProcess::MergedChannels);
    validate.start(program, validator << file.filePath());
    QVERIFY(validate.waitForFinished(60000));
    QVERIFY2(validate.exitCode() == 0, validate.readAll().constData());
}

void tst_Install::aFirstStartGetsTheInstalledFont()
{
    // The installed programs' folder holds no store: the user's data folder
    // is used, even where the programs' folder could be written.
    QTemporaryDir user;
    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"HOME"_s, user.path());
    environment.remove(u"XDG_DATA_HOME"_s);
    environment.remove(u"TALLOWPEN_HOME"_s);
    cli.setProcessEnvironment(environment);
    cli.start(m_prefix.filePath(QLatin1StringView(INSTALL_BINDIR) + u"/tallowpen-cli"_s), {u"--help"_s});
    QVERIFY(cli.waitForFinished(60000));
    const QString folder = user.filePath(u".local/share/tallowpen"_s);
    QVERIFY2(QString::fromUtf8(cli.readAllStandardOutput()).contains(u"Program folder: "_s + folder),
             cli.readAllStandardError().constData());
    QFile font(folder + u"/font/font.bmp"_s);
    QFile installed(m_prefix.filePath(data(u"tallowpen/font/font.bmp"_s)));
    QVERIFY(font.open(QIODevice::ReadOnly) && installed.open(QIODevice::ReadOnly));
    QCOMPARE(font.readAll(), installed.readAll());
}

void tst_Install::oneVersion_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("expected");
    const QString bin = QLatin1StringView(INSTALL_BINDIR) + u'/';
    QTest::newRow("command line") << bin + u"tallowpen-cli"_s << u"tallowpen-cli " TALLOWPEN_VERSION "\n"_s;
    QTest::newRow("editor") << bin + u"tallowpen"_s << u"Tallowpen " TALLOWPEN_VERSION "\n"_s;
}

// The project's version, not one written into a program by hand.
void tst_Install::oneVersion()
{
    QFETCH(QString, program);
    QFETCH(QString, expected);
    QProcess run;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    run.setProcessEnvironment(environment);
    run.start(m_prefix.filePath(program), {u"--version"_s});
    QVERIFY(run.waitForFinished(60000));
    QCOMPARE(QString::fromUtf8(run.readAllStandardOutput()), expected);
}

QTEST_GUILESS_MAIN(tst_Install)
#include "tst_install.moc"
