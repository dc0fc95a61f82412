#include "spell/personalwords.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

// `tallowpen-cli spell`, whose lines other programs read. The program
// folder carries the small test dictionary in its dict/ folder.
class tst_SpellCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void spell_data();
    void spell();
    void textFileLinesBecomeCrLf();

private:
    struct Run
    {
        int status = -1;
        QString out;
        QString err;
    };
    Run cli(const QStringList &arguments);
    TestHome m_home{TestHome::Nothing};
};

tst_SpellCli::Run tst_SpellCli::cli(const QStringList &arguments)
{
    QProcess process;
    process.start(QString::fromUtf8(TALLOWPEN_CLI_PATH), QStringList{u"--home"_s, m_home.path(), u"spell"_s} + arguments);
    if (!process.waitForFinished(30000))
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

void tst_SpellCli::initTestCase()
{
    QVERIFY(m_home.isValid());
    QVERIFY(QDir(m_home.path()).mkpath(u"dict"_s));
    for (const QString &ext : {u".aff"_s, u".dic"_s})
        QVERIFY(QFile::copy(QFINDTESTDATA(QString(u"data/tiny/es_ES"_s + ext)), m_home.filePath(u"dict/es_ES"_s + ext)));
    QFile personal(m_home.filePath(PersonalWordList::fileName()));
    QVERIFY(personal.open(QIODevice::WriteOnly));
    personal.write(u"Ovessin\n"_s.toUtf8());
}

void tst_SpellCli::spell_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    QTest::newRow("no errors") << QStringList{u"--text"_s, u"<Ovessin>¡Hola, mundo!<Wait> Ovessin"_s} << 0
                               << u"0\n"_s << u"No possible errors were founded\n"_s;
    QTest::newRow("errors in text order")
        << QStringList{u"--text"_s, u"¿hoal <Delay 3>el niño`s espda?"_s} << 0
        << u"2\n{\"start\": 1, \"length\": 4, \"word\": \"hoal\", \"suggestions\": [\"hola\"]}\n"
           "{\"start\": 25, \"length\": 5, \"word\": \"espda\", \"suggestions\": [\"espada\"]}\n"_s
        << u""_s;
    QTest::newRow("Spanish by number 3082") << QStringList{u"--text"_s, u"hola"_s, u"--language"_s, u"3082"_s} << 0
                                            << u"0\n"_s << u"No possible errors were founded\n"_s;
    QTest::newRow("dictionary not installed")
        << QStringList{u"--text"_s, u"hola"_s, u"--language"_s, u"1036"_s} << 1 << u""_s
        << u"The French spelling dictionary is not installed: fr_FR.aff and fr_FR.dic were not found in %1, "
           "/usr/share/hunspell, /usr/share/myspell, /usr/share/myspell/dicts.\n"
           "Install it with: sudo apt-get install hunspell-fr\n"_s.arg(QDir(m_home.path()).filePath(u"dict"_s));
    QTest::newRow("neither text nor file") << QStringList{} << 2 << u""_s << u"Give either --text or --text-file.\n"_s;
}

void tst_SpellCli::spell()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    const Run run = cli(arguments);
    QCOMPARE(run.err, err);
    QCOMPARE(run.out, out);
    QCOMPARE(run.status, status);
}

void tst_SpellCli::textFileLinesBecomeCrLf()
{
    QFile file(m_home.filePath(u"text.txt"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(u"hola\nmundo\nespda"_s.toUtf8());
    file.close();
    const Run run = cli({u"--text-file"_s, file.fileName()});
    QCOMPARE(run.status, 0);
    // "hola\r\nmundo\r\n" is 13 characters.
    QCOMPARE(run.out, u"1\n{\"start\": 13, \"length\": 5, \"word\": \"espda\", \"suggestions\": [\"espada\"]}\n"_s);
}

QTEST_GUILESS_MAIN(tst_SpellCli)
#include "tst_spellcli.moc"
