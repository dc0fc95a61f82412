#include "scripts/originalimport.h"
#include "scripts/translatedimport.h"
#include "store/importexportrows.h"
#include "store/layout.h"
#include "store/scriptrows.h"
#include "tests/support/golden.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

// Every progress report, in order.
struct RecordingProgress : ImportProgress
{
    void showText(const QString &text) override { log << u"> "_s + text; }
    void showFiles(int done, int total) override { log << u"> %1/%2"_s.arg(done).arg(total); }
    QStringList log;
};

// Every row of the four tables, in the order they were written.
QStringList storeRows(Database &db)
{
    QStringList out;
    for (const QString &table : {u"battling_arena"_s, u"battle_script"_s, u"field"_s, u"suggestion"_s}) {
        Result<ResultSet> rows = db.query(u"SELECT * FROM "_s + table + u" ORDER BY rowid"_s);
        while (rows && rows->next()) {
            QStringList columns;
            for (int c = 0; c < rows->columnCount(); ++c)
                columns << rows->text(c);
            out << table + u": "_s + escapedLine(columns.join(u'|'));
        }
    }
    return out;
}

} // namespace

// Both imports. Cases under data/import/original and data/import/translated:
// seed.sql run first, then the import of scripts/, then expected.txt holds
// the progress reports, the result and every row of the store.
class tst_Imports : public QObject
{
    Q_OBJECT

private slots:
    void cases_data();
    void cases();
    void statements();
    void statementInUtf8_data();
    void statementInUtf8();
    void listing();
    void deletionsSpareUnnumberedRows();
    void aRefusedStatementKeepsEarlierFiles();
};

void tst_Imports::cases_data()
{
    QTest::addColumn<QString>("dir");
    for (const QString &kind : {u"original"_s, u"translated"_s}) {
        const QDir data(QFINDTESTDATA(u"data/import/"_s + kind));
        for (const QString &name : data.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            QTest::newRow(qPrintable(kind + u'/' + name)) << data.filePath(name);
    }
}

void tst_Imports::cases()
{
    QFETCH(QString, dir);
    TestHome home(TestHome::StoreOnly);
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    for (const QString &statement : goldenLines(dir + u"/seed.sql"_s))
        QVERIFY2(statement == u"<missing>" || db.execute(statement), qPrintable(statement));
    RecordingProgress progress;
    ProgressPacer pacer(&progress);
    QStringList out;
    if (dir.contains(u"/original/"_s)) {
        const OriginalImport::Result r = OriginalImport::Importer(db, dir + u"/scripts"_s, pacer).run();
        const OriginalImport::Imported &done = r ? *r : r.error().done;
        out << u"%1 %2 files, %3 blocks, at %4 line %5"_s.arg(r ? u"ok:"_s : u"stopped:"_s, QString::number(done.files),
                                                              QString::number(done.blocks), r.error().file,
                                                              QString::number(r.error().line))
            << (r ? OriginalImport::AllImported : r.error().message);
        if (const QString duplicates = OriginalImport::duplicatesLine(done.duplicates); !duplicates.isEmpty())
            out << duplicates;
    } else {
        const TranslatedImport::Report r = TranslatedImport::run(db, dir + u"/scripts"_s, pacer);
        out << u"%1 %2 blocks, %3"_s.arg(r.validFolder ? u"valid:"_s : u"invalid:"_s, QString::number(r.blocks),
                                          r.lastStatus)
            << r.failures;
    }
    QVERIFY(!db.inTransaction());
    QCOMPARE(progress.log + out + storeRows(db), goldenLines(dir + u"/expected.txt"_s));
}

void tst_Imports::statementInUtf8_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::newRow("plain") << u"Hello.<End of Block>"_s << 24;
    QTest::newRow("apostrophes") << u"It's 'hers'"_s << 24;
    QTest::newRow("two- and three-byte letters") << u"Año … 5 €"_s << 24;
    QTest::newRow("a surrogate pair") << u"a\U0001F600b"_s << 24;
    QTest::newRow("a lone surrogate half") << u"a"_s + QChar(0xd800) + u"b"_s << 24;
    QTest::newRow("a negative width") << u"x"_s << -3;
    QTest::newRow("a zero character") << u"a"_s + QChar(0) << 24;
}

// The import builds its statements straight into UTF-8: they must be the
// bytes of the statement text, whatever the block holds.
void tst_Imports::statementInUtf8()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    Database db;
    OriginalRowWriter writer(db, u"field"_s, u"0012.txt"_s);
    const QByteArray expected = text.contains(QChar(0))
        ? QByteArray()
        : originalInsertStatement(u"field"_s, u"0012.txt"_s, 3, text, qint16(width), 2).toUtf8();
    QCOMPARE(writer.statement(3, text, qint16(width), 2), expected);
}

void tst_Imports::statements()
{
    QCOMPARE(OriginalImport::insertStatement(u"field"_s, u"0012.txt"_s, {3, 24, 2, u"Hello.<End of Block>"_s}),
             u"INSERT INTO field (file_name,dialogue_id,text_data,width,height,comments,translated,revised,"
             "text_data_t,new_width,new_height) VALUES ('0012.txt', 3, 'Hello.<End of Block>' ,24, 2 ,'', 0,0 ,'', "
             "0,0);"_s);
    QCOMPARE(translationImportStatement(u"field"_s, u"0012.txt"_s, 3, u"Hola.<End of Block>"_s),
             u"UPDATE field SET text_data_t = 'Hola.<End of Block>', translated = 1, revised = 0 "
             "WHERE file_name = '0012.txt' AND dialogue_id = 3;"_s);
}

void tst_Imports::listing()
{
    QTemporaryDir dir;
    for (const QString &name : {u"b.txt"_s, u"a.txt"_s, u"A.txt"_s, u"C.TXT"_s, u"notes.txt.bak"_s, u"readme"_s}) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(dir.path()).mkdir(u"folder.txt"_s));
    QCOMPARE(OriginalImport::listScriptFiles(dir.path()), QStringList({u"A.txt"_s, u"a.txt"_s, u"b.txt"_s, u"C.TXT"_s}));
    QVERIFY(!OriginalImport::isScriptFolder(dir.path()));
    QVERIFY(!OriginalImport::isScriptFolder(QString()));
    QVERIFY(QDir(dir.path()).mkdir(u"battle_script"_s));
    QVERIFY(OriginalImport::isScriptFolder(dir.path()));
}

void tst_Imports::deletionsSpareUnnumberedRows()
{
    TestHome home(TestHome::StoreOnly);
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    for (const QString &table : ScriptTables::all) {
        for (int id : {-1, 0, 1, 2})
            QVERIFY(db.execute(u"INSERT INTO %1 (file_name,dialogue_id) VALUES ('a', %2);"_s.arg(table).arg(id)));
    }
    QVERIFY(db.execute(u"INSERT INTO suggestion (word) VALUES ('');"_s));
    QVERIFY(db.execute(u"INSERT INTO suggestion (word) VALUES ('sword');"_s));
    QCOMPARE(OriginalImport::existingScriptRows(db).value_or(-1), 12);
    RecordingProgress progress;
    ProgressPacer pacer(&progress);
    QVERIFY(QDir(home.path()).mkpath(u"empty/battle_script"_s));
    QVERIFY(OriginalImport::Importer(db, home.filePath(u"empty"_s), pacer, OriginalImport::Importer::Mode::Replace)
                .run()
                .ok());
    const QStringList deletions = progress.log.filter(u"> Deleting"_s);
    QCOMPARE(deletions, QStringList({u"> Deleting battle_script scripts..."_s, u"> Deleting battling_arena scripts..."_s,
                                     u"> Deleting field scripts..."_s, u"> Deleting word links..."_s}));
    QStringList kept;
    for (const QString &table : ScriptTables::all)
        kept << table + u": a|-1|||||||||"_s << table + u": a|0|||||||||"_s;
    QCOMPARE(storeRows(db), kept << u"suggestion: ||||||"_s);
}

void tst_Imports::aRefusedStatementKeepsEarlierFiles()
{
    // A store without the field table refuses the INSERT of a field block.
    TestHome partial(TestHome::Nothing);
    sqlite3 *raw = nullptr;
    QCOMPARE(sqlite3_open(partial.storePath().toUtf8().constData(), &raw), SQLITE_OK);
    for (const char *table : {"battling_arena", "battle_script"}) {
        const QByteArray create = QByteArray("CREATE TABLE ") + table + "(file_name, dialogue_id, text_data, width, "
                                  "height, comments, translated, revised, text_data_t, new_width, new_height)";
        QCOMPARE(sqlite3_exec(raw, create.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    }
    sqlite3_close(raw);
    Database db;
    QVERIFY(openStore(db, partial.storePath()));
    ProgressPacer pacer(nullptr);
    const OriginalImport::Result result =
        OriginalImport::Importer(db, QFINDTESTDATA("data/import/original/three-folders/scripts"), pacer).run();
    QVERIFY(!result.ok());
    QVERIFY2(result.error().message.endsWith(u"field/0012.txt, line 2: the block could not be stored "
                                             "(The database refused the statement: no such table: field)."_s),
             qPrintable(result.error().message));
    QCOMPARE(result.error().done.files, 2);
    QCOMPARE(result.error().done.blocks, 3);
    const Result<ResultSet> battle = db.query(u"SELECT * FROM battle_script"_s);
    QVERIFY(battle);
    QCOMPARE(battle->rowCount(), 1);
    QVERIFY(!db.inTransaction());
}

QTEST_APPLESS_MAIN(tst_Imports)
#include "tst_imports.moc"
