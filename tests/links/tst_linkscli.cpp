#include "tests/support/clirun.h"
#include "tests/support/testhome.h"

#include <QFile>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

// The word-link commands of the real tallowpen-cli, whose output other
// programs read.
class tst_LinksCli : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void importThenList();
    void importFailureKeepsEarlierRows();
    void linkSet_data();
    void linkSet();
    void linkErase();
    void wordAt_data();
    void wordAt();
    void highlight_data();
    void highlight();

private:
    using Run = CliRun;
    Run cli(const QStringList &arguments);
    QString writeFile(const QString &name, const QByteArray &bytes);
    std::unique_ptr<TestHome> m_home;
};

tst_LinksCli::Run tst_LinksCli::cli(const QStringList &arguments)
{
    return runCli(m_home->path(), arguments);
}

QString tst_LinksCli::writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(m_home->filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return file.fileName();
}

void tst_LinksCli::init()
{
    m_home = std::make_unique<TestHome>(TestHome::StoreOnly);
    QVERIFY(m_home->isValid());
}

void tst_LinksCli::cleanup()
{
    m_home.reset();
}

void tst_LinksCli::importThenList()
{
    const QString path = writeFile(u"links.txt"_s, " sword ,  espada , larga\r\ndont's,no\r\nbow,\"arco\"\r\n");
    const Run run = cli({u"links-import"_s, path});
    QCOMPARE(run.err, QString());
    QCOMPARE(run.out, u"Links file imported!\n"_s);
    QCOMPARE(run.status, 0);
    const Run list = cli({u"links"_s});
    QCOMPARE(list.status, 0);
    QCOMPARE(list.out,
             u"{\"word\": \"sword\", \"suggestions\": [\"espada , larga\", \"\", \"\", \"\", \"\"], \"comment\": \"\"}\n"
             "{\"word\": \"bow\", \"suggestions\": [\"\\\"arco\\\"\", \"\", \"\", \"\", \"\"], \"comment\": \"\"}\n"_s);
}

void tst_LinksCli::importFailureKeepsEarlierRows()
{
    const QString path = writeFile(u"links.txt"_s, "sword,espada\r\nbow arco\r\naxe,hacha\r\n");
    const Run run = cli({u"links-import"_s, path});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, QString());
    QVERIFY2(run.err.startsWith(u"5Line 2 of the links file "_s), qPrintable(run.err));
    QCOMPARE(cli({u"links"_s}).out.count(u'\n'), 1);
}

void tst_LinksCli::linkSet_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("listed");
    const QString sword = u"{\"word\": \"sword\", \"suggestions\": [\"espada\", \"\", \"\", \"\", \"\"], "
                          "\"comment\": \"old\"}\n"_s;
    QTest::newRow("add") << QStringList{u"bow"_s, u"--suggest"_s, u"arco"_s, u"--suggest"_s, u"it's"_s}
                         << 0
                         << sword + u"{\"word\": \"bow\", \"suggestions\": [\"arco\", \"it`s\", \"\", \"\", \"\"], "
                                    "\"comment\": \"\"}\n"_s;
    QTest::newRow("modify") << QStringList{u"sword"_s, u"--suggest"_s, u"hoja"_s, u"--comment"_s, u"new"_s,
                                           u"--modify"_s}
                            << 0
                            << u"{\"word\": \"sword\", \"suggestions\": [\"hoja\", \"\", \"\", \"\", \"\"], "
                               "\"comment\": \"new\"}\n"_s;
    QTest::newRow("no first suggestion") << QStringList{u"bow"_s, u"--comment"_s, u"x"_s} << 1 << sword;
    QTest::newRow("empty first suggestion") << QStringList{u"bow"_s, u"--suggest"_s, QString(), u"--suggest"_s,
                                                           u"arco"_s}
                                            << 1 << sword;
    QStringList six{u"bow"_s};
    for (int i = 0; i < 6; ++i)
        six << u"--suggest"_s << u"s"_s;
    QTest::newRow("six suggestions") << six << 2 << sword;
}

void tst_LinksCli::linkSet()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, listed);
    QVERIFY(m_home->execute(u"INSERT INTO suggestion VALUES ('sword', 'espada', '', '', '', '', 'old')"_s));
    const Run run = cli(QStringList{u"link-set"_s} + arguments);
    QCOMPARE(run.status, status);
    if (status == 1)
        QCOMPARE(run.err, u"At least write one word please\n"_s);
    QCOMPARE(cli({u"links"_s}).out, listed);
}

void tst_LinksCli::linkErase()
{
    QVERIFY(m_home->execute(u"INSERT INTO suggestion VALUES ('sword', 'espada', '', '', '', '', '')"_s));
    QVERIFY(m_home->execute(u"INSERT INTO suggestion VALUES ('bow', 'arco', '', '', '', '', '')"_s));
    QCOMPARE(cli({u"link-erase"_s, u"sword"_s}).status, 0);
    QVERIFY(cli({u"links"_s}).out.startsWith(u"{\"word\": \"bow\""_s));
    QCOMPARE(cli({u"links"_s}).out.count(u'\n'), 1);
}

void tst_LinksCli::wordAt_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("out");
    QTest::newRow("inside cofre") << QStringList{u"--text"_s, u"el cofre/mágico"_s, u"5"_s}
                                  << u"{\"word\": \"cofre/m\", \"wordStart\": 4}\n"_s;
    QTest::newRow("p = 0") << QStringList{u"--text"_s, u"el"_s, u"0"_s} << u"{\"word\": \"\", \"wordStart\": 0}\n"_s;
    QTest::newRow("on a delimiter") << QStringList{u"--text"_s, u"a  b"_s, u"2"_s}
                                    << u"{\"word\": \"\", \"wordStart\": 3}\n"_s;
    QTest::newRow("file line ends count two") << QStringList{u"--text-file"_s, u"@text.txt"_s, u"7"_s}
                                              << u"{\"word\": \"dos\", \"wordStart\": 6}\n"_s;
}

void tst_LinksCli::wordAt()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, out);
    const QString file = writeFile(u"text.txt"_s, "uno\ndos");
    arguments.replaceInStrings(u"@text.txt"_s, file);
    const Run run = cli(QStringList{u"word-at"_s} + arguments);
    QCOMPARE(run.err, QString());
    QCOMPARE(run.out, out);
}

void tst_LinksCli::highlight_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("out");
    const QString espada0 = u"{\"start\": 0, \"length\": 6, \"word\": \"Espada\"}\n"_s;
    QTest::newRow("whole text") << QStringList{u"--text"_s, u"Espada, espada Espadas sword"_s}
                                << espada0 + u"{\"start\": 23, \"length\": 5, \"word\": \"sword\"}\n"_s;
    QTest::newRow("file with LF made CR LF") << QStringList{u"--text-file"_s, u"@text.txt"_s}
                                             << espada0 + u"{\"start\": 14, \"length\": 6, \"word\": \"Espada\"}\n"_s;
    QTest::newRow("one line") << QStringList{u"--text-file"_s, u"@text.txt"_s, u"--line"_s, u"1"_s}
                              << u"{\"start\": 14, \"length\": 6, \"word\": \"Espada\"}\n"_s;
    QTest::newRow("line without links") << QStringList{u"--text-file"_s, u"@text.txt"_s, u"--line"_s, u"2"_s}
                                        << QString();
}

void tst_LinksCli::highlight()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, out);
    QVERIFY(m_home->execute(u"INSERT INTO suggestion VALUES ('Espada', 'x', '', '', '', '', '')"_s));
    QVERIFY(m_home->execute(u"INSERT INTO suggestion VALUES ('sword', 'x', '', '', '', '', '')"_s));
    QVERIFY(m_home->execute(u"INSERT INTO suggestion VALUES ('', 'x', '', '', '', '', '')"_s));
    const QString file = writeFile(u"text.txt"_s, "Espada x\nsa, Espada\nend");
    arguments.replaceInStrings(u"@text.txt"_s, file);
    const Run run = cli(QStringList{u"highlight"_s} + arguments);
    QCOMPARE(run.err, QString());
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, out);
}

QTEST_GUILESS_MAIN(tst_LinksCli)
#include "tst_linkscli.moc"
