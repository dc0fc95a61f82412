#include "files/programfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_ProgramFolder : public QObject
{
    Q_OBJECT

private slots:
    void resolution_data();
    void resolution();
    void aFontOfTheUsersOwnStays();
    void windowsStylePaths_data();
    void windowsStylePaths();
};

void tst_ProgramFolder::resolution_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("environment");
    QTest::addColumn<bool>("holdsStore");
    QTest::addColumn<bool>("writable");
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("source");
    const int exe = int(ProgramFolderSource::ExecutableFolder);
    const int data = int(ProgramFolderSource::UserDataFolder);
    QTest::newRow("option wins") << u"/tmp/a"_s << u"/tmp/b"_s << true << true << false << u"/tmp/a"_s
                                 << int(ProgramFolderSource::HomeOption);
    QTest::newRow("relative option made absolute") << u"rel"_s << QString() << false << false << false
                                                   << QDir(u"rel"_s).absolutePath()
                                                   << int(ProgramFolderSource::HomeOption);
    QTest::newRow("environment next") << QString() << u"/tmp/b"_s << true << true << false << u"/tmp/b"_s
                                      << int(ProgramFolderSource::Environment);
    QTest::newRow("a store beside an installed copy") << QString() << QString() << true << false << true
                                                      << u"/opt/bin"_s << exe;
    QTest::newRow("a writable build folder") << QString() << QString() << false << true << false << u"/opt/bin"_s
                                             << exe;
    QTest::newRow("read-only, no store") << QString() << QString() << false << false << false << u"/data/tp"_s
                                         << data;
    QTest::newRow("installed, writable by root") << QString() << QString() << false << true << true
                                                 << u"/data/tp"_s << data;
}

void tst_ProgramFolder::resolution()
{
    QFETCH(QString, option);
    QFETCH(QString, environment);
    QFETCH(bool, holdsStore);
    QFETCH(bool, writable);
    QFETCH(bool, installed);
    QFETCH(QString, expected);
    QFETCH(int, source);
    const ProgramFolderFacts facts{u"/opt/bin"_s, holdsStore, writable, installed ? u"/opt/share/font.bmp"_s : QString(),
                                   u"/data/tp"_s};
    const ProgramFolder folder = chooseProgramFolder(option, environment, facts);
    QCOMPARE(folder.path, expected);
    QCOMPARE(int(folder.source), source);
}

void tst_ProgramFolder::aFontOfTheUsersOwnStays()
{
    // A fresh folder getting the font is the installed programs' test.
    QTemporaryDir folder;
    QVERIFY(QDir().mkpath(folder.filePath(u"font"_s)));
    QFile own(folder.filePath(u"font/font.bmp"_s));
    QVERIFY(own.open(QIODevice::WriteOnly) && own.write("BMmine") == 6);
    own.close();
    QVERIFY(prepareUserDataFolder(folder.path(), QFINDTESTDATA("tst_programfolder.cpp")));
    QVERIFY(own.open(QIODevice::ReadOnly));
    QCOMPARE(own.readAll(), QByteArray("BMmine"));
}

void tst_ProgramFolder::windowsStylePaths_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("expected");
    QTest::newRow("backslashes") << u"\\font\\font.bmp"_s << u"/home/x/font/font.bmp"_s;
    QTest::newRow("slashes") << u"font/font.bmp"_s << u"/home/x/font/font.bmp"_s;
    QTest::newRow("nested export folder") << u"\\Translated\\field"_s << u"/home/x/Translated/field"_s;
}

void tst_ProgramFolder::windowsStylePaths()
{
    QFETCH(QString, relative);
    QFETCH(QString, expected);
    QCOMPARE(programPath(u"/home/x"_s, relative), expected);
}

QTEST_GUILESS_MAIN(tst_ProgramFolder)
#include "tst_programfolder.moc"
