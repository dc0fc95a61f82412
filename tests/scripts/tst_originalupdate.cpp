#include "scripts/originalupdate.h"
#include "keeping/blocksave.h"
#include "keeping/originalhistory.h"
#include "tests/support/clirun.h"
#include "tests/support/storedblock.h"
#include "tests/support/testhome.h"

#include <QTest>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

// A script file of one-line blocks "N:text", all 24 by 2.
QByteArray script(const QStringList &blocks)
{
    QByteArray bytes;
    for (const QString &block : blocks) {
        const qsizetype colon = block.indexOf(u':');
        bytes += "<TextBlock " + block.left(colon).toLatin1() + " w:24 h:2>\r\n" + block.mid(colon + 1).toLatin1()
            + "<End of Block>\r\n";
    }
    return bytes;
}

// A translated, revised block with a chosen size and a comment.
StoredBlock translated(const QString &file, int id, const QString &text)
{
    StoredBlock block;
    block.file = file;
    block.id = id;
    block.text = text + u"<End of Block>"_s;
    block.comments = u"note"_s;
    block.translated = 1;
    block.revised = 1;
    block.textT = u"T"_s + QString::number(id);
    block.newWidth = 30;
    block.newHeight = 3;
    return block;
}

// Every row of field as "file;id;text;translated;revised;translation;comment;new sizes".
QStringList fieldRows(const QString &storePath)
{
    Database db;
    QStringList out;
    if (!openStore(db, storePath))
        return out;
    Result<ResultSet> rows = db.query(u"SELECT * FROM field ORDER BY file_name, dialogue_id"_s);
    while (rows && rows->next()) {
        out << QStringList{rows->text(0), rows->text(1), rows->text(2).chopped(14), rows->text(6), rows->text(7),
                           rows->text(8), rows->text(5), rows->text(9) + u'x' + rows->text(10)}
                   .join(u';');
    }
    return out;
}

struct NoProgress : ImportProgress
{
};

} // namespace

class tst_OriginalUpdate : public QObject
{
    Q_OBJECT

private slots:
    void matching_data();
    void matching();
    void marksAndRemovedBlocksAreKept();
    void aFailingStepLeavesTheStoreAsItWas();
    void commandLine();
};

void tst_OriginalUpdate::matching_data()
{
    QTest::addColumn<QStringList>("files"); // "name=1:text|2:text"
    QTest::addColumn<QStringList>("changes");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QStringList>("rows");

    const QString kept = u"a.txt;1;One;1;1;T1;note;30x3"_s;
    QTest::newRow("unchanged keeps everything") << QStringList{u"a.txt=1:One"_s} << QStringList()
                                                << u"1 unchanged, 0 changed, 0 added, 0 removed"_s
                                                << QStringList{kept};
    QTest::newRow("changed keeps translation, comment and size, not Revised")
        << QStringList{u"a.txt=1:One more"_s} << QStringList{u"a.txt 1 changed"_s}
        << u"0 unchanged, 1 changed, 0 added, 0 removed"_s
        << QStringList{u"a.txt;1;One more;1;0;T1;note;30x3"_s};
    // A script that gains a block is written again whole: the changed block is cleared there too.
    QTest::newRow("changed beside an added block, not Revised")
        << QStringList{u"a.txt=1:One more|2:Two"_s} << QStringList{u"a.txt 1 changed"_s, u"a.txt 2 added"_s}
        << u"0 unchanged, 1 changed, 1 added, 0 removed"_s
        << QStringList{u"a.txt;1;One more;1;0;T1;note;30x3"_s, u"a.txt;2;Two;0;0;;;0x0"_s};
    QTest::newRow("added comes untranslated, in block order")
        << QStringList{u"a.txt=1:One|2:Two"_s} << QStringList{u"a.txt 2 added"_s}
        << u"1 unchanged, 0 changed, 1 added, 0 removed"_s << QStringList{kept, u"a.txt;2;Two;0;0;;;0x0"_s};
    QTest::newRow("removed leaves the store") << QStringList{u"a.txt=2:Two"_s}
                                              << QStringList{u"a.txt 1 removed"_s, u"a.txt 2 added"_s}
                                              << u"0 unchanged, 0 changed, 1 added, 1 removed"_s
                                              << QStringList{u"a.txt;2;Two;0;0;;;0x0"_s};
    QTest::newRow("new file and vanished file")
        << QStringList{u"b.txt=1:Bee"_s} << QStringList{u"a.txt 1 removed"_s, u"b.txt 1 added"_s}
        << u"0 unchanged, 0 changed, 1 added, 1 removed"_s << QStringList{u"b.txt;1;Bee;0;0;;;0x0"_s};
}

void tst_OriginalUpdate::matching()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, changes);
    QFETCH(QString, summary);
    QFETCH(QStringList, rows);

    TestHome home;
    QVERIFY(home.isValid() && insertBlock(home, translated(u"a.txt"_s, 1, u"One"_s)));
    QVERIFY(home.write(u"new/battle_script/.keep"_s, {}));
    for (const QString &file : files) {
        const QStringList parts = file.split(u'=');
        QVERIFY(home.write(u"new/field/"_s + parts[0], script(parts[1].split(u'|'))));
    }
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    NoProgress progress;
    ProgressPacer pacer(&progress);
    const QStringList before = fieldRows(home.storePath());
    const Result<OriginalUpdate::Outcome> dry = OriginalUpdate::updateOriginals(db, home.filePath(u"new"_s), pacer, true);
    QCOMPARE(fieldRows(home.storePath()), before);
    QVERIFY(dry && dry->backup.isEmpty());

    const Result<OriginalUpdate::Outcome> result =
        OriginalUpdate::updateOriginals(db, home.filePath(u"new"_s), pacer, false);
    QVERIFY2(result, qPrintable(result.error().message));
    QStringList got;
    for (const OriginalUpdate::BlockChange &change : result->changes)
        got << u"%1 %2 %3"_s.arg(change.fileName).arg(change.number).arg(OriginalUpdate::changeName(change.change));
    QCOMPARE(got, changes);
    QCOMPARE(OriginalUpdate::summary(*result), summary);
    QCOMPARE(OriginalUpdate::summary(*dry), summary);
    QCOMPARE(fieldRows(home.storePath()), rows);
    QCOMPARE(result->backup.contains(u"update-original"_s), !changes.isEmpty());
}

// The old original marks the block until it is saved; a removed block comes back whole.
void tst_OriginalUpdate::marksAndRemovedBlocksAreKept()
{
    TestHome home;
    QVERIFY(home.isValid() && insertBlock(home, translated(u"a.txt"_s, 1, u"One"_s))
            && insertBlock(home, translated(u"a.txt"_s, 2, u"Two"_s)));
    QVERIFY(home.write(u"new/battle_script/.keep"_s, {}) && home.write(u"new/field/a.txt"_s, script({u"1:Uno"_s})));
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    NoProgress progress;
    ProgressPacer pacer(&progress);
    QVERIFY(OriginalUpdate::updateOriginals(db, home.filePath(u"new"_s), pacer, false).ok());

    const BlockAddress one{u"field"_s, u"a.txt"_s, 1};
    QCOMPARE(changedOriginal(db.path(), one, u"Uno<End of Block>"_s), u"One<End of Block>"_s);
    QCOMPARE(changedOriginals(db.path())->size(), 1);
    QVERIFY(!changedOriginal(db.path(), one, u"Something else<End of Block>"_s));
    QVERIFY(saveBlock(db, blockKey(u"field"_s, u"a.txt"_s, 1), u"1[c]"_s, {u"T1 again"_s, u"note"_s, false}, nullptr).ok());
    QVERIFY(!changedOriginal(db.path(), one, u"Uno<End of Block>"_s));

    const auto removed = removedBlocks(db.path());
    QVERIFY(removed && removed->size() == 1);
    QCOMPARE(removed->front().textDataT, u"T2"_s);
    QVERIFY(restoreRemovedBlock(db, removed->front().id));
    QCOMPARE(fieldRows(home.storePath()).value(1), u"a.txt;2;Two;1;1;T2;note;30x3"_s);
    const Result<Done> again = restoreRemovedBlock(db, removed->front().id);
    QVERIFY(!again && !again.error().message.isEmpty());
}

// A statement the store refuses halfway: nothing of the update stays, and no mark.
void tst_OriginalUpdate::aFailingStepLeavesTheStoreAsItWas()
{
    TestHome home;
    QVERIFY(home.isValid() && insertBlock(home, translated(u"a.txt"_s, 1, u"One"_s)));
    sqlite3 *raw = nullptr;
    QCOMPARE(sqlite3_open(home.storePath().toUtf8().constData(), &raw), SQLITE_OK);
    QCOMPARE(sqlite3_exec(raw,
                          "CREATE TRIGGER refuse BEFORE INSERT ON field WHEN NEW.file_name = 'z.txt' "
                          "BEGIN SELECT RAISE(ABORT, 'refused'); END;",
                          nullptr, nullptr, nullptr),
             SQLITE_OK);
    sqlite3_close(raw);
    QVERIFY(home.write(u"new/battle_script/.keep"_s, {}) && home.write(u"new/field/a.txt"_s, script({u"1:Uno"_s}))
            && home.write(u"new/field/z.txt"_s, script({u"1:Zed"_s})));
    const QStringList before = fieldRows(home.storePath());
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    NoProgress progress;
    ProgressPacer pacer(&progress);
    const Result<OriginalUpdate::Outcome> result =
        OriginalUpdate::updateOriginals(db, home.filePath(u"new"_s), pacer, false);
    QVERIFY(!result);
    QVERIFY2(result.error().message.contains(u"refused"_s), qPrintable(result.error().message));
    QCOMPARE(fieldRows(home.storePath()), before);
    QCOMPARE(changedOriginals(db.path())->size(), 0);
}

void tst_OriginalUpdate::commandLine()
{
    TestHome home;
    QVERIFY(home.isValid() && insertBlock(home, translated(u"a.txt"_s, 1, u"One"_s)));
    QVERIFY(home.write(u"new/battle_script/.keep"_s, {}) && home.write(u"new/field/a.txt"_s, script({u"1:Uno"_s})));
    const QStringList before = fieldRows(home.storePath());
    const CliRun dry = runCli(home.path(), {u"update-original"_s, home.filePath(u"new"_s), u"--dry-run"_s});
    QCOMPARE(dry.status, 0);
    QCOMPARE(dry.out, u"{\"table\": \"field\", \"file_name\": \"a.txt\", \"dialogue_id\": 1, \"change\": \"changed\"}\n"_s);
    QCOMPARE(dry.err, u"0 unchanged, 1 changed, 0 added, 0 removed\n"_s);
    QCOMPARE(fieldRows(home.storePath()), before);
    const CliRun run = runCli(home.path(), {u"update-original"_s, home.filePath(u"new"_s)});
    QCOMPARE(run.out, dry.out);
    QVERIFY(fieldRows(home.storePath()) != before);
}

QTEST_GUILESS_MAIN(tst_OriginalUpdate)
#include "tst_originalupdate.moc"
