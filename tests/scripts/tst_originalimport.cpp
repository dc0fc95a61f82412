#include "scripts/originalimport.h"
#include "store/database.h"
#include "store/layout.h"
#include "tests/support/testhome.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <sqlite3.h>

using namespace Qt::StringLiterals;
using namespace OriginalImport;

namespace {

class RecordingProgress : public ImportProgress
{
public:
    void showText(const QString &text) override { texts << text; }
    void showFiles(int done, int total) override { files << u"%1/%2"_s.arg(done).arg(total); }
    void breathe() override { ++breaths; }
    QStringList texts;
    QStringList files;
    int breaths = 0;
};

QByteArray block(int number, const QByteArray &body, int width = 24, int height = 2)
{
    return "<TextBlock " + QByteArray::number(number) + " w:" + QByteArray::number(width) + " h:"
        + QByteArray::number(height) + ">\r\n" + body + "<End of Block>\r\n";
}

} // namespace

class tst_OriginalImport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void insertStatementText();
    void importsTheThreeFolders();
    void sizesCarryOverWithinAFolderOnly();
    void listingIsSortedAndFiltered();
    void deletionsSpareUnnumberedRows();
    void importingTwiceGivesTheSameRows();
    void missingFieldFolderStillSucceeds();
    void hostileFiles_data();
    void hostileFiles();
    void refusedStatementKeepsEarlierFiles();
    void manyFilesBreatheSparingly();

private:
    void write(const QString &relative, const QByteArray &bytes);
    QStringList rows(const QString &table);
    QString base() const { return m_home->filePath(u"scripts"_s); }

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<Database> m_db;
};

void tst_OriginalImport::init()
{
    m_db.reset();
    m_home = std::make_unique<TestHome>(TestHome::StoreOnly);
    QVERIFY(m_home->isValid());
    m_db = std::make_unique<Database>();
    QVERIFY(openStore(*m_db, m_home->storePath()));
    for (const QString &folder : ScriptTables::all)
        QVERIFY(QDir().mkpath(base() + u'/' + folder));
}

void tst_OriginalImport::write(const QString &relative, const QByteArray &bytes)
{
    QFile file(base() + u'/' + relative);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.fileName()));
    QCOMPARE(file.write(bytes), bytes.size());
}

QStringList tst_OriginalImport::rows(const QString &table)
{
    QStringList out;
    ResultSet result = m_db->query(u"SELECT * FROM "_s + table + u" ORDER BY rowid"_s);
    while (!result.step()) {
        QStringList columns;
        for (int c = 0; c < 11; ++c)
            columns << result.text(c);
        out << columns.join(u'|');
    }
    return out;
}

void tst_OriginalImport::insertStatementText()
{
    ScriptBlock b;
    b.number = 3;
    b.width = 24;
    b.height = 2;
    b.text = u"Hello.<End of Block>"_s;
    QCOMPARE(insertStatement(u"field"_s, u"0012.txt"_s, b),
             u"INSERT INTO field (file_name,dialogue_id,text_data,width,height,comments,translated,revised,"
             "text_data_t,new_width,new_height) VALUES ('0012.txt', 3, 'Hello.<End of Block>' ,24, 2 ,'', 0,0 ,'', "
             "0,0);"_s);
}

void tst_OriginalImport::importsTheThreeFolders()
{
    write(u"battling_arena/a.txt"_s, block(1, "It's mine.\r\n") + block(2, "", 30, 4));
    write(u"battle_script/b.txt"_s, block(5, "Go!\r\n"));
    write(u"field/0012.txt"_s, "<TextBlock 3 w:24 h:2>\r\nHello.<End of Block>\r\n");

    RecordingProgress progress;
    ProgressPacer pacer(&progress);
    Importer importer(*m_db, base(), pacer);
    const Result result = importer.run();
    QVERIFY2(result.ok, qPrintable(result.message));
    QCOMPARE(result.message, u"All the scripts were imported."_s);
    QCOMPARE(result.files, 3);
    QCOMPARE(result.blocks, 4);

    QCOMPARE(rows(u"battling_arena"_s),
             QStringList({u"a.txt|1|It`s mine.\r\n<End of Block>|24|2||0|0||0|0"_s,
                          u"a.txt|2|<End of Block>|30|4||0|0||0|0"_s}));
    QCOMPARE(rows(u"battle_script"_s), QStringList(u"b.txt|5|Go!\r\n<End of Block>|24|2||0|0||0|0"_s));
    QCOMPARE(rows(u"field"_s), QStringList(u"0012.txt|3|Hello.<End of Block>|24|2||0|0||0|0"_s));

    QCOMPARE(progress.texts, QStringList({
                                 u"Importing Battling_arena scripts, please wait..."_s,
                                 u"Importing file... battling_arena\\a.txt"_s,
                                 u"All the scripts were imported."_s,
                                 u"Importing Battle_script files, please wait..."_s,
                                 u"Importing file... battle_script\\b.txt"_s,
                                 u"All the scripts were imported."_s,
                                 u"Importing Field scripts, please wait..."_s,
                                 u"Importing file... field\\0012.txt"_s,
                                 u"All the scripts were imported."_s,
                             }));
    QCOMPARE(progress.files, QStringList({u"0/3"_s, u"1/3"_s, u"2/3"_s, u"3/3"_s}));
}

void tst_OriginalImport::sizesCarryOverWithinAFolderOnly()
{
    write(u"battle_script/1.txt"_s, block(1, "", 30, 3));
    write(u"battle_script/2.txt"_s, "<TextBlock 1>\r\n<End of Block>\r\n<TextBlock 2 h:5>\r\n<End of Block>\r\n");
    write(u"field/1.txt"_s, "<TextBlock 1>\r\n<End of Block>\r\n");
    ProgressPacer pacer(nullptr);
    QVERIFY(Importer(*m_db, base(), pacer).run().ok);
    QCOMPARE(rows(u"battle_script"_s),
             QStringList({u"1.txt|1|<End of Block>|30|3||0|0||0|0"_s, u"2.txt|1|<End of Block>|30|3||0|0||0|0"_s,
                          u"2.txt|2|<End of Block>|30|5||0|0||0|0"_s}));
    QCOMPARE(rows(u"field"_s), QStringList(u"1.txt|1|<End of Block>|0|0||0|0||0|0"_s));
}

void tst_OriginalImport::listingIsSortedAndFiltered()
{
    for (const QString &name : {u"b.txt"_s, u"a.txt"_s, u"A.txt"_s, u"C.TXT"_s, u"notes.txt.bak"_s, u"readme"_s})
        write(u"field/"_s + name, "x");
    QVERIFY(QDir().mkpath(base() + u"/field/folder.txt"_s));
    QCOMPARE(listScriptFiles(base() + u"/field"_s),
             QStringList({u"A.txt"_s, u"a.txt"_s, u"b.txt"_s, u"C.TXT"_s}));
    QVERIFY(listScriptFiles(base() + u"/nowhere"_s).isEmpty());
}

void tst_OriginalImport::deletionsSpareUnnumberedRows()
{
    for (const QString &table : ScriptTables::all) {
        for (int id : {-1, 0, 1, 2})
            QVERIFY(m_db->execute(u"INSERT INTO %1 (file_name,dialogue_id) VALUES ('a.txt', %2);"_s.arg(table).arg(id)));
    }
    QVERIFY(m_db->execute(u"INSERT INTO suggestion (word) VALUES ('');"_s));
    QVERIFY(m_db->execute(u"INSERT INTO suggestion (word) VALUES ('sword');"_s));
    QCOMPARE(existingScriptRows(*m_db).value_or(-1), 12);

    RecordingProgress progress;
    ProgressPacer pacer(&progress);
    QVERIFY(deleteOriginals(*m_db, pacer));
    QCOMPARE(progress.texts, QStringList({u"Deleting battle_script scripts..."_s, u"Deleting battling_arena scripts..."_s,
                                          u"Deleting field scripts..."_s, u"Deleting word links..."_s}));
    for (const QString &table : ScriptTables::all) {
        QCOMPARE(rows(table), QStringList({u"a.txt|-1|||||||||"_s, u"a.txt|0|||||||||"_s}));
    }
    QCOMPARE(m_db->query(u"SELECT * FROM suggestion"_s).rowCount(), 1);
    QCOMPARE(existingScriptRows(*m_db).value_or(-1), 6);
}

void tst_OriginalImport::importingTwiceGivesTheSameRows()
{
    write(u"battling_arena/a.txt"_s, block(1, "One\r\n") + block(2, "Two\r\n"));
    write(u"field/f.txt"_s, block(7, "Seven\r\n"));
    ProgressPacer pacer(nullptr);
    QVERIFY(Importer(*m_db, base(), pacer).run().ok);
    const QStringList arena = rows(u"battling_arena"_s), field = rows(u"field"_s);
    QVERIFY(deleteOriginals(*m_db, pacer));
    QVERIFY(Importer(*m_db, base(), pacer).run().ok);
    QCOMPARE(rows(u"battling_arena"_s), arena);
    QCOMPARE(rows(u"field"_s), field);
}

void tst_OriginalImport::missingFieldFolderStillSucceeds()
{
    QVERIFY(QDir(base() + u"/field"_s).removeRecursively());
    write(u"battle_script/b.txt"_s, block(1, ""));
    QVERIFY(isScriptFolder(base()));
    ProgressPacer pacer(nullptr);
    const Result result = Importer(*m_db, base(), pacer).run();
    QVERIFY(result.ok);
    QCOMPARE(result.message, AllImported);
    QCOMPARE(rows(u"battle_script"_s).size(), 1);

    QVERIFY(QDir(base() + u"/battle_script"_s).removeRecursively());
    QVERIFY(!isScriptFolder(base()));
    QVERIFY(!isScriptFolder(QString()));
}

void tst_OriginalImport::hostileFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("message"); // part of the message, when it stops
    QTest::addColumn<int>("line");
    QTest::addColumn<QStringList>("texts"); // text_data of its rows when stored

    const QByteArray good = block(1, "Fine.\r\n");
    QTest::newRow("apostrophe in file name")
        << u"x'); DELETE FROM field; --.txt"_s << good << false
        << u"field\\x'); DELETE FROM field; --.txt: its name holds an apostrophe"_s << 0 << QStringList();
    QTest::newRow("semicolon in file name") << u"a;b.txt"_s << good << false
                                           << u"field\\a;b.txt: its name holds a semicolon"_s << 0 << QStringList();
    QTest::newRow("comment, quotes and percent in file name")
        << u"-- \"q\" *c* %1 `g`.txt"_s << good << true << QString() << 0
        << QStringList(u"Fine.\r\n<End of Block>"_s);
    QTest::newRow("statement in the text")
        << u"t.txt"_s << block(1, "x'); DELETE FROM battle_script; --\r\n") << true << QString() << 0
        << QStringList(u"x`); DELETE FROM battle_script; --\r\n<End of Block>"_s);
    QTest::newRow("empty file") << u"e.txt"_s << QByteArray() << true << QString() << 0 << QStringList();
    QTest::newRow("binary without an end line")
        << u"b.txt"_s << QByteArray("\x7f" "ELF\x01\x02\x00\x00\xff\xfe\r\n\x00\x01", 14) << true << QString() << 0
        << QStringList();
    QTest::newRow("zero byte inside a block")
        << u"z.txt"_s << good + QByteArray("<TextBlock 2 w:1 h:1>\r\nab\x00" "cd\r\n<End of Block>\r\n", 46) << false
        << u"field\\z.txt, line 6: the block ending here holds a zero byte"_s << 6 << QStringList();
    QTest::newRow("block number out of range")
        << u"n.txt"_s << good + "<TextBlock 40000 w:1 h:1>\r\n<End of Block>\r\n" << false
        << u"field\\n.txt, line 4: the block number 40000 does not fit"_s << 4 << QStringList();
    QTest::newRow("width out of range")
        << u"w.txt"_s << "<TextBlock 1 w:-40000 h:1>\r\n<End of Block>\r\n"_ba << false
        << u"field\\w.txt, line 1: the width -40000 does not fit"_s << 1 << QStringList();
    const QByteArray longLine(1 << 20, 'a');
    QTest::newRow("one line of a megabyte")
        << u"long.txt"_s << "<TextBlock 1 w:1 h:1>\r\n" + longLine + "<End of Block>" << true << QString() << 0
        << QStringList(QString::fromLatin1(longLine) + u"<End of Block>"_s);
    QTest::newRow("a megabyte without an end line")
        << u"long.txt"_s << longLine << true << QString() << 0 << QStringList();
}

void tst_OriginalImport::hostileFiles()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ok);
    QFETCH(QString, message);
    QFETCH(int, line);
    QFETCH(QStringList, texts);

    // Rows that must survive whatever the file holds, and a file imported first.
    QVERIFY(m_db->execute(u"INSERT INTO battle_script (file_name,dialogue_id,text_data) VALUES ('keep.txt', 1, 'k');"_s));
    QVERIFY(m_db->execute(u"INSERT INTO suggestion (word) VALUES ('sword');"_s));
    write(u"battling_arena/first.txt"_s, block(1, "First.\r\n"));
    write(u"field/"_s + name, bytes);

    ProgressPacer pacer(nullptr);
    const Result result = Importer(*m_db, base(), pacer).run();
    QCOMPARE(result.ok, ok);
    QCOMPARE(m_db->query(u"SELECT * FROM battle_script"_s).rowCount(), 1);
    QCOMPARE(m_db->query(u"SELECT * FROM suggestion"_s).rowCount(), 1);
    QVERIFY(!m_db->inTransaction());

    QStringList stored;
    ResultSet result2 = m_db->query(u"SELECT * FROM field ORDER BY rowid"_s);
    while (!result2.step()) {
        QCOMPARE(result2.text(ColFileName), name);
        stored << result2.text(ColTextData);
    }
    if (ok) {
        QCOMPARE(result.message, AllImported);
        QCOMPARE(stored, texts);
        QCOMPARE(rows(u"battling_arena"_s).size(), 1);
        return;
    }
    QVERIFY2(result.message.startsWith(u"Import stopped: "_s + message), qPrintable(result.message));
    QCOMPARE(result.line, line);
    QCOMPARE(result.file, u"field\\"_s + name);
    QVERIFY(stored.isEmpty()); // the failing file is rolled back as a whole
    // A name is refused before any row is written; a bad file keeps the files before it.
    QCOMPARE(rows(u"battling_arena"_s).size(), line == 0 ? 0 : 1);
}

void tst_OriginalImport::refusedStatementKeepsEarlierFiles()
{
    // A store whose field table is missing refuses the INSERT of a field block.
    const QString path = m_home->filePath(u"partial.db"_s);
    QFile::remove(path);
    sqlite3 *raw = nullptr;
    QCOMPARE(sqlite3_open(path.toUtf8().constData(), &raw), SQLITE_OK);
    const char *columns = "(file_name, dialogue_id, text_data, width, height, comments, translated, revised,"
                          " text_data_t, new_width, new_height)";
    for (const char *table : {"battling_arena", "battle_script"}) {
        const QByteArray create = QByteArray("CREATE TABLE ") + table + columns;
        QCOMPARE(sqlite3_exec(raw, create.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    }
    sqlite3_close(raw);
    Database db;
    QVERIFY(openStore(db, path));

    write(u"battling_arena/a.txt"_s, block(1, ""));
    write(u"battle_script/b.txt"_s, block(1, "") + block(2, ""));
    write(u"field/c.txt"_s, block(1, "") + block(2, ""));
    write(u"field/d.txt"_s, block(1, ""));
    ProgressPacer pacer(nullptr);
    const Result result = Importer(db, base(), pacer).run();
    QVERIFY(!result.ok);
    QCOMPARE(result.file, u"field\\c.txt"_s);
    QCOMPARE(result.line, 2);
    QVERIFY2(result.message.contains(u"field\\c.txt, line 2: the block could not be stored"_s), qPrintable(result.message));
    QCOMPARE(result.files, 2);
    QCOMPARE(result.blocks, 3);
    QCOMPARE(db.query(u"SELECT * FROM battle_script"_s).rowCount(), 2);
    QVERIFY(!db.inTransaction());
}

void tst_OriginalImport::manyFilesBreatheSparingly()
{
    const QByteArray one = block(1, "Line one.\r\nLine two.\r\n");
    for (int i = 0; i < 10000; ++i)
        write(u"field/%1.txt"_s.arg(i, 5, 10, QChar(u'0')), one);
    RecordingProgress progress;
    ProgressPacer pacer(&progress);
    QElapsedTimer clock;
    clock.start();
    const Result result = Importer(*m_db, base(), pacer).run();
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(result.ok, qPrintable(result.message));
    QCOMPARE(result.files, 10000);
    QCOMPARE(m_db->query(u"SELECT * FROM field"_s).rowCount(), 10000);
    QCOMPARE(progress.files.last(), u"10000/10000"_s);
    QVERIFY(progress.breaths >= 1);
    QVERIFY2(progress.breaths <= elapsed / 30 + 1, qPrintable(u"%1 breaths in %2 ms"_s.arg(progress.breaths).arg(elapsed)));
}

QTEST_APPLESS_MAIN(tst_OriginalImport)
#include "tst_originalimport.moc"
