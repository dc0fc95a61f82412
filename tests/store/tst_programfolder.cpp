#include "store/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_ProgramFolder : public QObject
{
    Q_OBJECT

private slots:
    void resolution_data();
    void resolution();
    void windowsStylePaths_data();
    void windowsStylePaths();
};

void tst_ProgramFolder::resolution_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("environment");
    QTest::addColumn<QString>("expected"); // empty: the executable's folder
    QTest::newRow("option wins") << u"/tmp/a"_s << u"/tmp/b"_s << u"/tmp/a"_s;
    QTest::newRow("environment next") << QString() << u"/tmp/b"_s << u"/tmp/b"_s;
    QTest::newRow("executable's folder last") << QString() << QString() << QString();
    QTest::newRow("relative option made absolute") << u"rel"_s << QString() << QDir(u"rel"_s).absolutePath();
}

void tst_ProgramFolder::resolution()
{
    QFETCH(QString, option);
    QFETCH(QString, environment);
    QFETCH(QString, expected);
    qputenv("TALLOWPEN_HOME", environment.toUtf8());
    const QString folder = resolveProgramFolder(option);
    QCOMPARE(folder, expected.isEmpty() ? QCoreApplication::applicationDirPath() : expected);
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
