#include "store/database.h"
#include "store/layout.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_Database : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void emptyTableStandsDone();
    void rowCountKeepsTheCursor();
    void executeGivesFirstColumnOfFirstRow();
    void refusedStatements_data();
    void refusedStatements();
    void blanksAndCommentsAfterOneStatementPass();
    void queryRefusesWrites();
    void openNeverCreatesAFile();
    void twoInstancesSeeEachOther();
    void rollbackUndoesTheGroup();
    void textRoundTripsAsUtf8();
    void createStoreRefusesAnExistingFile();

private:
    QString storePath() const { return m_dir.filePath(u"tallowpen.db"_s); }
    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_db;
};

void tst_Database::init()
{
    QFile::remove(storePath());
    StoreError error;
    QVERIFY2(createStore(storePath(), &error), qPrintable(error.message));
    m_db = std::make_unique<Database>();
    QVERIFY(openStore(*m_db, storePath()));
}

void tst_Database::emptyTableStandsDone()
{
    ResultSet rows = m_db->query(u"Select * from battling_arena"_s);
    QVERIFY(rows.isValid());
    QCOMPARE(rows.rowCount(), 0);
    QVERIFY(rows.step());
    QVERIFY(!rows.value(0).isValid());
}

void tst_Database::rowCountKeepsTheCursor()
{
    for (int id : {1, 2, 3})
        QVERIFY(m_db->execute(u"INSERT INTO field (file_name,dialogue_id,text_data) VALUES ('a.txt', %1, 't%1');"_s.arg(id)));
    ResultSet rows = m_db->query(u"SELECT * FROM field WHERE file_name = 'a.txt';"_s);
    QCOMPARE(rows.columnCount(), 11);
    QVERIFY(!rows.value(1).isValid()); // before the first row
    QCOMPARE(rows.rowCount(), 3);
    QStringList seen;
    while (!rows.step())
        seen << rows.text(2);
    QCOMPARE(seen, QStringList({u"t1"_s, u"t2"_s, u"t3"_s}));
    QVERIFY(rows.step()); // stays done
    QCOMPARE(rows.rowCount(), 3);
}

void tst_Database::executeGivesFirstColumnOfFirstRow()
{
    QVERIFY(m_db->execute(u"INSERT INTO field (file_name,dialogue_id) VALUES ('a.txt', 1);"_s));
    QVERIFY(m_db->execute(u"INSERT INTO field (file_name,dialogue_id) VALUES ('a.txt', 2);"_s));
    QVariant out;
    QVERIFY(m_db->execute(u"SELECT COUNT(*) FROM field"_s, &out));
    QCOMPARE(out.toInt(), 2);
    QVERIFY(m_db->execute(u"UPDATE field SET translated = 1 WHERE dialogue_id = 2;"_s, &out));
    QVERIFY(!out.isValid());
}

void tst_Database::refusedStatements_data()
{
    QTest::addColumn<QString>("statement");
    QTest::newRow("second statement") << u"SELECT * FROM field; DELETE FROM battle_script"_s;
    QTest::newRow("statement smuggled in a value")
        << u"INSERT INTO field (file_name,dialogue_id) VALUES ('x'); DELETE FROM battle_script; --.txt', 1);"_s;
    QTest::newRow("garbage after the statement") << u"DELETE FROM field WHERE dialogue_id > 0; junk"_s;
    QTest::newRow("syntax error") << u"SELEC * FROM field"_s;
    QTest::newRow("missing table") << u"SELECT * FROM nowhere"_s;
    QTest::newRow("drop table") << u"DROP TABLE battle_script"_s;
    QTest::newRow("create table") << u"CREATE TABLE t (a)"_s;
    QTest::newRow("attach") << u"ATTACH DATABASE 'other.db' AS o"_s;
    QTest::newRow("pragma") << u"PRAGMA journal_mode=DELETE"_s;
    QTest::newRow("empty") << QString();
}

void tst_Database::refusedStatements()
{
    QFETCH(QString, statement);
    QVERIFY(m_db->execute(u"INSERT INTO battle_script (file_name,dialogue_id) VALUES ('keep.txt', 1);"_s));
    QVERIFY(!m_db->execute(statement));
    QVERIFY(!m_db->lastError().message.isEmpty());
    QVERIFY(!m_db->query(statement).isValid());
    QVariant out;
    QVERIFY(m_db->execute(u"SELECT COUNT(*) FROM battle_script"_s, &out));
    QCOMPARE(out.toInt(), 1);
}

void tst_Database::blanksAndCommentsAfterOneStatementPass()
{
    QVERIFY(m_db->execute(u"DELETE FROM field WHERE dialogue_id > 0;  \r\n -- done\r\n /* really */ "_s));
}

void tst_Database::queryRefusesWrites()
{
    QVERIFY(m_db->execute(u"INSERT INTO field (file_name,dialogue_id) VALUES ('a.txt', 1);"_s));
    QVERIFY(!m_db->query(u"DELETE FROM field WHERE dialogue_id > 0;"_s).isValid());
    QVariant out;
    QVERIFY(m_db->execute(u"SELECT COUNT(*) FROM field"_s, &out));
    QCOMPARE(out.toInt(), 1);
}

void tst_Database::openNeverCreatesAFile()
{
    Database db;
    const QString missing = m_dir.filePath(u"missing.db"_s);
    QVERIFY(!db.open(missing));
    QVERIFY(db.lastError().message.contains(missing));
    QVERIFY(!QFile::exists(missing));

    const QString notADatabase = m_dir.filePath(u"text.db"_s);
    QFile file(notADatabase);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    QVERIFY(!openStore(db, notADatabase));
}

void tst_Database::twoInstancesSeeEachOther()
{
    Database other;
    QVERIFY(openStore(other, storePath()));
    QVERIFY(m_db->execute(u"INSERT INTO suggestion (word) VALUES ('sword');"_s));
    ResultSet rows = other.query(u"SELECT * FROM suggestion"_s);
    QCOMPARE(rows.rowCount(), 1);
    QVERIFY(other.execute(u"DELETE FROM suggestion WHERE word <> '';"_s));
    QCOMPARE(m_db->query(u"SELECT * FROM suggestion"_s).rowCount(), 0);
}

void tst_Database::rollbackUndoesTheGroup()
{
    QVERIFY(m_db->begin());
    QVERIFY(m_db->execute(u"INSERT INTO field (file_name,dialogue_id) VALUES ('a.txt', 1);"_s));
    QVERIFY(m_db->inTransaction());
    QVERIFY(m_db->rollback());
    QCOMPARE(m_db->query(u"SELECT * FROM field"_s).rowCount(), 0);
}

void tst_Database::textRoundTripsAsUtf8()
{
    const QString text = u"¿Dónde está la llave? – «ñandú» \u20ac"_s;
    QVERIFY(m_db->execute(u"INSERT INTO field (file_name,dialogue_id,text_data) VALUES ('a.txt', 1, '%1');"_s.arg(text)));
    ResultSet rows = m_db->query(u"SELECT * FROM field"_s);
    QVERIFY(!rows.step());
    QCOMPARE(rows.text(2), text);
    QCOMPARE(rows.value(1).toInt(), 1);
}

void tst_Database::createStoreRefusesAnExistingFile()
{
    StoreError error;
    QVERIFY(!createStore(storePath(), &error));
    QVERIFY(error.message.contains(storePath()));
    QCOMPARE(m_db->query(u"SELECT * FROM suggestion"_s).rowCount(), 0); // untouched
}

QTEST_APPLESS_MAIN(tst_Database)
#include "tst_database.moc"
