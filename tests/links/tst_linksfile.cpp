#include "links/linksfile.h"
#include "links/linkstore.h"
#include "store/database.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QTest>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

class tst_LinksFile : public QObject
{
    Q_OBJECT

private slots:
    void import_data();
    void import();
    void failures_data();
    void failures();
};

void tst_LinksFile::import_data()
{
    QTest::addColumn<QString>("folder");
    const QDir root(QFINDTESTDATA("data/import"));
    QVERIFY(root.exists());
    for (const QString &name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        QTest::newRow(qPrintable(name)) << root.filePath(name);
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
    const QStringList outcome = expected.takeFirst().split(u' ');

    TestHome home(TestHome::StoreOnly);
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    const QString path = folder + u"/links.txt"_s;
    const LinksImportResult result = importLinksFile(db, path);
    if (outcome.size() < 2) {
        QVERIFY2(result.ok(), qPrintable(result.failureText()));
    } else {
        const QString failure = u"%1Line %2 of the links file %3 "_s.arg(outcome[0], outcome[1],
                                                                          QDir::toNativeSeparators(path));
        QVERIFY2(result.failureText().startsWith(failure), qPrintable(result.failureText()));
    }
    QStringList rows;
    for (const LinkRow &link : linkRowsFrom(readLinkRows(db).value_or({}))) {
        const QString rest = link.suggestions[1] + link.suggestions[2] + link.suggestions[3] + link.suggestions[4]
            + link.comment;
        rows << link.word + u'\t' + link.suggestions[0] + (rest.isEmpty() ? QString() : u"\t?"_s);
    }
    QCOMPARE(rows, expected);
    QCOMPARE(result.inserted, int(expected.size()));
}

void tst_LinksFile::failures_data()
{
    QTest::addColumn<bool>("fileThere");
    QTest::addColumn<bool>("tableThere");
    QTest::addColumn<QString>("failure");
    QTest::newRow("missing file") << false << true << u"53The links file "_s;
    QTest::newRow("store refuses the statement") << true << false << u"3146Line 1 of the links file "_s;
}

void tst_LinksFile::failures()
{
    QFETCH(bool, fileThere);
    QFETCH(bool, tableThere);
    QFETCH(QString, failure);
    TestHome home(TestHome::StoreOnly);
    QVERIFY(!fileThere || home.write(u"links.txt"_s, "sword,espada\r\n"));
    if (!tableThere) {
        // Behind the store component's back: it refuses schema changes.
        sqlite3 *raw = nullptr;
        QCOMPARE(sqlite3_open(qPrintable(home.storePath()), &raw), SQLITE_OK);
        const int dropped = sqlite3_exec(raw, "DROP TABLE suggestion", nullptr, nullptr, nullptr);
        sqlite3_close(raw);
        QCOMPARE(dropped, SQLITE_OK);
    }
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    const QString file = home.filePath(u"links.txt"_s);
    const LinksImportResult result = importLinksFile(db, file);
    QVERIFY2(result.failureText().startsWith(failure), qPrintable(result.failureText()));
    QVERIFY(result.failureText().contains(QDir::toNativeSeparators(file)));
    QCOMPARE(result.inserted, 0);
}

QTEST_APPLESS_MAIN(tst_LinksFile)
#include "tst_linksfile.moc"
