#include "links/linksfile.h"
#include "links/linkstore.h"
#include "store/database.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_LinksFile : public QObject
{
    Q_OBJECT

private slots:
    void parseLine_data();
    void parseLine();
    void insertStatement();
    void decode_data();
    void decode();
    void import_data();
    void import();
    void unreadableFile();
    void refusedStatement();
};

void tst_LinksFile::parseLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("suggestion");
    QTest::newRow("blanks around both ends") << u" sword ,  espada , larga"_s << int(LinksLine::Link) << u"sword"_s
                                             << u"espada , larga"_s;
    QTest::newRow("apostrophe anywhere") << u"dont's,no"_s << int(LinksLine::Skipped) << QString() << QString();
    QTest::newRow("apostrophe without comma is skipped") << u"it's"_s << int(LinksLine::Skipped) << QString()
                                                         << QString();
    QTest::newRow("grave accent is kept") << u"don`t,no"_s << int(LinksLine::Link) << u"don`t"_s << u"no"_s;
    QTest::newRow("no comma") << u"sword espada"_s << int(LinksLine::NoComma) << QString() << QString();
    QTest::newRow("empty line") << QString() << int(LinksLine::NoComma) << QString() << QString();
    QTest::newRow("only a comma") << u","_s << int(LinksLine::Link) << QString() << QString();
    QTest::newRow("tabs are trimmed too") << u"\tsword\t,\tespada\t"_s << int(LinksLine::Link) << u"sword"_s
                                          << u"espada"_s;
}

void tst_LinksFile::parseLine()
{
    QFETCH(QString, line);
    QFETCH(int, kind);
    QFETCH(QString, word);
    QFETCH(QString, suggestion);
    const LinksLine parsed = parseLinksLine(line);
    QCOMPARE(int(parsed.kind), kind);
    QCOMPARE(parsed.word, word);
    QCOMPARE(parsed.suggestion, suggestion);
}

void tst_LinksFile::insertStatement()
{
    QCOMPARE(linksInsertStatement(u"sword"_s, u"espada"_s),
             u"INSERT INTO suggestion (word,suggest1,suggest2,suggest3,suggest4,suggest5,comment) "
             "VALUES ('sword', 'espada','','','','','');"_s);
}

void tst_LinksFile::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << QByteArray("a,b") << u"a,b"_s;
    QTest::newRow("utf-8") << QByteArray("hoj\xc3\xa1") << u"hojá"_s;
    QTest::newRow("byte-order mark dropped") << QByteArray("\xef\xbb\xbfx") << u"x"_s;
    QTest::newRow("invalid utf-8 is windows-1252") << QByteArray("hoj\xe1 \x80") << u"hojá €"_s;
    QTest::newRow("one bad byte turns the whole file") << QByteArray("\xc3\xa1\xe1") << u"Ã¡á"_s;
}

void tst_LinksFile::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(decodeLinksFile(bytes), text);
}

void tst_LinksFile::import_data()
{
    QTest::addColumn<QString>("folder");
    const QString root = QFINDTESTDATA("data/import");
    QVERIFY(!root.isEmpty());
    const QDir dir(root);
    for (const QString &name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        QTest::newRow(qPrintable(name)) << dir.filePath(name);
}

// expected.txt: "ok" or "<failure number> <failing line>", then the rows
// the table holds afterwards, word and link split by a tab.
void tst_LinksFile::import()
{
    QFETCH(QString, folder);
    QFile expectedFile(folder + u"/expected.txt"_s);
    QVERIFY(expectedFile.open(QIODevice::ReadOnly));
    QStringList expected = QString::fromUtf8(expectedFile.readAll()).split(u'\n');
    expected.removeLast();
    const QString outcome = expected.takeFirst();

    TestHome home(TestHome::StoreOnly);
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    const QString path = folder + u"/links.txt"_s;
    const LinksImportResult result = importLinksFile(db, path);
    if (outcome == u"ok") {
        QVERIFY2(result.ok(), qPrintable(result.failureText()));
    } else {
        const QStringList parts = outcome.split(u' ');
        QCOMPARE(int(result.failure), parts.at(0).toInt());
        const QString lineText = u"Line %1 of the links file %2"_s.arg(parts.at(1), QDir::toNativeSeparators(path));
        QVERIFY2(result.failureText().startsWith(parts.at(0) + lineText), qPrintable(result.failureText()));
    }
    QStringList rows;
    for (const LinkRow &link : readAllLinks(db)) {
        rows << link.word + u'\t' + link.suggestions[0];
        QCOMPARE(link.suggestions[1] + link.suggestions[2] + link.suggestions[3] + link.suggestions[4] + link.comment,
                 QString());
    }
    QCOMPARE(rows, expected);
    QCOMPARE(result.inserted, int(expected.size()));
}

void tst_LinksFile::unreadableFile()
{
    TestHome home(TestHome::StoreOnly);
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    const LinksImportResult result = importLinksFile(db, home.filePath(u"missing.txt"_s));
    QCOMPARE(result.failure, LinksImportFailure::Unreadable);
    QVERIFY2(result.failureText().startsWith(u"53The links file "_s), qPrintable(result.failureText()));
    QVERIFY(result.failureText().contains(u"missing.txt"_s));
}

void tst_LinksFile::refusedStatement()
{
    TestHome home(TestHome::StoreOnly);
    QFile file(home.filePath(u"links.txt"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("sword,espada\r\n");
    file.close();
    Database db; // never opened: every statement is refused
    const LinksImportResult result = importLinksFile(db, file.fileName());
    QCOMPARE(result.failure, LinksImportFailure::StatementRefused);
    QVERIFY2(result.failureText().startsWith(u"3146Line 1 of the links file "_s), qPrintable(result.failureText()));
    QCOMPARE(result.inserted, 0);
}

QTEST_APPLESS_MAIN(tst_LinksFile)
#include "tst_linksfile.moc"
