#include "store/database.h"
#include "store/layout.h"
#include "store/storetext.h"
#include "tests/support/tablefile.h"
#include "tests/support/testhome.h"

#include <QFile>
#include <QTest>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

// The one door to the file: what it runs, what it refuses, the literal every
// text enters a statement through, and the LIKE the search asks it for.
class tst_Database : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void literals_data();
    void literals();
    void statements_data();
    void statements();
    void resultSets();
    void onlyAStoreOpens();
    void unicodeLike_data();
    void unicodeLike();

private:
    int count(const QString &table);
    std::unique_ptr<TestHome> m_home;
    Database m_db;
};

void tst_Database::init()
{
    m_db.close();
    m_home = std::make_unique<TestHome>(TestHome::StoreOnly);
    QVERIFY(m_home->isValid());
    QVERIFY(openStore(m_db, m_home->storePath()));
}

int tst_Database::count(const QString &table)
{
    const Result<QVariant> counted = m_db.execute(u"SELECT COUNT(*) FROM "_s + table);
    return counted ? counted->toInt() : -1;
}

void tst_Database::literals_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");
    QTest::newRow("apostrophes that would widen a WHERE") << u"x' OR 'a'='a"_s << u"x` OR `a`=`a"_s;
    QTest::newRow("a second statement") << u"x'); DELETE FROM suggestion; --"_s << u"x`); DELETE FROM suggestion; --"_s;
    QTest::newRow("comment, quotes and wildcards") << u"-- \"q\" /* % _ \\ ;"_s << u"-- \"q\" /* % _ \\ ;"_s;
    QTest::newRow("grave accent") << u"it`s"_s << u"it`s"_s;
    QTest::newRow("line ends and accents") << u"¿Dónde?\r\n«ñandú» €"_s << u"¿Dónde?\r\n«ñandú» €"_s;
    QTest::newRow("empty") << QString() << QString();
}

// Whatever a text holds, its literal stores it (the apostrophe as a grave
// accent) and a DELETE naming it reaches its own row only.
void tst_Database::literals()
{
    QFETCH(QString, text);
    QFETCH(QString, stored);
    QVERIFY(m_db.execute(u"INSERT INTO suggestion (word) VALUES ('keep');"_s));
    const Result<QVariant> inserted = m_db.execute(u"INSERT INTO suggestion (word) VALUES ("_s + storeLiteral(text) + u");"_s);
    QVERIFY2(inserted, qPrintable(inserted.error().message));
    Result<ResultSet> rows = m_db.query(u"SELECT * FROM suggestion WHERE word = "_s + storeLiteral(text));
    QVERIFY(rows);
    QCOMPARE(rows->rowCount(), 1);
    QVERIFY(rows->next());
    QCOMPARE(rows->text(ColWord), stored);
    QVERIFY(m_db.execute(u"DELETE FROM suggestion WHERE word = "_s + storeLiteral(text) + u';'));
    QCOMPARE(count(u"suggestion"_s), 1);
}

void tst_Database::statements_data()
{
    TableFile::addRows(QFINDTESTDATA("data/statements.txt"), {"statement", "asQuery", "runs"});
}

void tst_Database::statements()
{
    QFETCH(QString, statement);
    QFETCH(QString, asQuery);
    QFETCH(QString, runs);
    QVERIFY(m_db.execute(u"INSERT INTO battle_script (file_name,dialogue_id) VALUES ('keep.txt', 1);"_s));
    bool ran = false;
    if (asQuery == u"yes") {
        const Result<ResultSet> rows = m_db.query(statement);
        ran = rows.ok();
        // A refused or failed query brings its error, never an empty set of rows.
        QVERIFY(ran || (!rows.error().message.isEmpty() && rows.error().code != 0));
    } else {
        const Result<QVariant> done = m_db.execute(statement);
        ran = done.ok();
        QVERIFY(ran || !done.error().message.isEmpty());
    }
    QCOMPARE(ran, runs == u"yes");
    QCOMPARE(count(u"battle_script"_s), 1);
}

void tst_Database::resultSets()
{
    Result<ResultSet> empty = m_db.query(u"Select * from battling_arena"_s);
    QVERIFY(empty.ok());
    QCOMPARE(empty->rowCount(), 0);
    QVERIFY(!empty->next());
    for (int id : {1, 2, 3})
        QVERIFY(m_db.execute(u"INSERT INTO field (file_name,dialogue_id,text_data) VALUES ('a', %1, 't%1');"_s.arg(id)));
    Result<ResultSet> rows = m_db.query(u"SELECT * FROM field"_s);
    QVERIFY(rows);
    QVERIFY(!rows->value(ColTextData).isValid()); // before the first step
    QCOMPARE(rows->rowCount(), 3);
    QStringList seen;
    while (rows->next())
        seen << rows->text(ColTextData);
    QCOMPARE(seen, QStringList({u"t1"_s, u"t2"_s, u"t3"_s})); // counting did not move the cursor
    QVERIFY(!rows->next());
    const Result<QVariant> counted = m_db.execute(u"SELECT COUNT(*) FROM field"_s);
    QVERIFY(counted);
    QCOMPARE(counted->toInt(), 3);
    const Result<QVariant> updated = m_db.execute(u"UPDATE field SET translated = 1;"_s);
    QVERIFY(updated);
    QVERIFY(!updated->isValid());
    // No allocation statistics: SQLite would take a process-wide lock for each.
    QCOMPARE(sqlite3_memory_used(), sqlite3_int64(0));
}

void tst_Database::onlyAStoreOpens()
{
    Database db;
    const QString missing = m_home->filePath(u"missing.db"_s);
    const Result<Done> opened = db.open(missing);
    QVERIFY(!opened);
    QVERIFY(opened.error().message.contains(missing));
    QVERIFY(!QFile::exists(missing));
    QVERIFY(m_home->write(u"text.db"_s, QByteArray(4096, 'x')));
    QVERIFY(!openStore(db, m_home->filePath(u"text.db"_s)));

    const Result<Done> made = createStore(m_home->storePath());
    QVERIFY(!made);
    QVERIFY(made.error().message.contains(m_home->storePath()));
    QCOMPARE(count(u"suggestion"_s), 0);
}

void tst_Database::unicodeLike_data()
{
    TableFile::addRows(QFINDTESTDATA("data/like.txt"), {"pattern", "text", "matches"});
}

void tst_Database::unicodeLike()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(QString, matches);
    QVERIFY(m_db.useUnicodeLike());
    // Two rows: the second meets the pattern as compiled for the first.
    const QString value = text == u"NULL" ? text : storeLiteral(text);
    for (int id : {1, 2})
        QVERIFY(m_db.execute(u"INSERT INTO field (dialogue_id, text_data) VALUES (%1, %2);"_s.arg(id).arg(value)));
    QString statement = u"SELECT COUNT(*) FROM field WHERE text_data LIKE "_s + storeLiteral(pattern);
    if (pattern.contains(u'!'))
        statement += u" ESCAPE '!'"_s;
    const Result<QVariant> counted = m_db.execute(statement);
    QVERIFY2(counted, qPrintable(counted.error().message));
    QCOMPARE(counted->toInt(), matches == u"yes" ? 2 : 0);
}

QTEST_APPLESS_MAIN(tst_Database)
#include "tst_database.moc"
