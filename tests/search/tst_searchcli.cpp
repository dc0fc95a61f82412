#include "searchstore.h"
#include "tests/support/testhome.h"

#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

// `tallowpen-cli search`, whose lines other programs read.
class tst_SearchCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void search_data();
    void search();

private:
    TestHome m_home{TestHome::StoreOnly};
};

void tst_SearchCli::initTestCase()
{
    QVERIFY(m_home.isValid());
    Database db;
    QVERIFY(openStore(db, m_home.storePath()));
    for (const SearchRow &row : searchRows())
        QVERIFY(addRow(db, row));
}

void tst_SearchCli::search_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    QTest::newRow("translated by default")
        << QStringList{u"ESPADA"_s} << 0
        << u"{\"block\": 1, \"script\": \"arena01\", \"folder\": \"battling_arena\", \"text\": \"La espada\"}\n"
           "{\"block\": 1, \"script\": \"boss01\", \"folder\": \"battle_script\", \"text\": \"Espada de fuego\"}\n"_s
        << u"End of the search\n"_s;
    QTest::newRow("comments")
        << QStringList{u"espada"_s, u"--in"_s, u"comments"_s} << 0
        << u"{\"block\": 2, \"script\": \"arena01\", \"folder\": \"battling_arena\", \"text\": \"revisar espada\"}\n"_s
        << u"End of the search\n"_s;
    QTest::newRow("both, translations first")
        << QStringList{u"fuego"_s, u"--in"_s, u"both"_s} << 0
        << u"{\"block\": 1, \"script\": \"boss01\", \"folder\": \"battle_script\", \"text\": \"Espada de fuego\"}\n"_s
        << u"End of the search\n"_s;
    QTest::newRow("original with apostrophe")
        << QStringList{u"d's"_s, u"--in"_s, u"original"_s} << 0
        << u"{\"block\": 2, \"script\": \"boss01\", \"folder\": \"battle_script\", \"text\": \"Kid`s toy\"}\n"_s
        << u"End of the search\n"_s;
    QTest::newRow("nothing found") << QStringList{u"zzz"_s} << 0 << u""_s << u"End of the search\n"_s;
    QTest::newRow("empty") << QStringList{u""_s} << 1 << u""_s << u"Please input a word to search\n"_s;
    QTest::newRow("too short") << QStringList{u"x"_s} << 1 << u""_s
                               << u"Word is too short, please input one word biggest\n"_s;
    QTest::newRow("hostile") << QStringList{u"x'; DELETE FROM field; --"_s, u"--in"_s, u"both"_s} << 0 << u""_s
                             << u"End of the search\n"_s;
    QTest::newRow("unknown kind") << QStringList{u"espada"_s, u"--in"_s, u"notes"_s} << 2 << u""_s
                                  << u"--in takes translated, original, both or comments.\n"_s;
}

void tst_SearchCli::search()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QProcess process;
    process.start(QString::fromUtf8(TALLOWPEN_CLI_PATH), QStringList{u"--home"_s, m_home.path(), u"search"_s} + arguments);
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(QString::fromUtf8(process.readAllStandardError()), err);
    QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()), out);
    QCOMPARE(process.exitCode(), status);

    Database db;
    QVERIFY(openStore(db, m_home.storePath()));
    QVariant rows;
    QVERIFY(db.execute(u"SELECT COUNT(*) FROM field"_s, &rows));
    QCOMPARE(rows.toInt(), 3);
}

QTEST_GUILESS_MAIN(tst_SearchCli)
#include "tst_searchcli.moc"
