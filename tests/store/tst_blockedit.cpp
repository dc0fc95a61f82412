#include "store/blockedit.h"
#include "tests/support/storedblock.h"
#include "tests/support/testhome.h"

#include <QTest>

using namespace Qt::StringLiterals;

using Row = StoredBlock;
Q_DECLARE_METATYPE(StoredBlock)

class tst_BlockEdit : public QObject
{
    Q_OBJECT

private slots:
    void loadShows_data();
    void loadShows();
    void loadIgnoresNodesThatAreNotBlocks_data();
    void loadIgnoresNodesThatAreNotBlocks();
    void loadRefusesDuplicates();
    void loadOfAMissingRowEnablesEmptyEditors();
    void loadReportsAStoreThatCannotBeRead();
    void saveWrites_data();
    void saveWrites();
    void saveOfANonBlockNodeWritesNothing();
    void anUnchangedSaveLeavesTheRowAlone();
    void anUntouchedBlockSurvivesByteForByte();
    void aFailedSaveSaysSoAndKeepsNothing();
    void resetWindowSize_data();
    void resetWindowSize();
};

void tst_BlockEdit::loadShows_data()
{
    QTest::addColumn<Row>("row");
    QTest::addColumn<QString>("translation");
    QTest::addColumn<bool>("revised");
    QTest::addColumn<bool>("revisedEnabled");
    QTest::addColumn<int>("nodeImage");
    QTest::addColumn<QString>("size");

    Row r;
    r.textT = u"Left over.<End of Block>"_s; // shown only when translated
    QTest::newRow("untranslated hides its translation") << r << QString() << false << false << 0 << u"24x2"_s;
    r.translated = 1;
    QTest::newRow("translated") << r << u"Left over.<End of Block>"_s << false << true << 0 << u"24x2"_s;
    r.revised = 1;
    QTest::newRow("translated and revised") << r << u"Left over.<End of Block>"_s << true << true << 7 << u"24x2"_s;
    r.translated = 0;
    QTest::newRow("revised, not translated") << r << QString() << true << true << 7 << u"24x2"_s;

    Row sized;
    sized.newWidth = 26;
    sized.newHeight = 3;
    QTest::newRow("chosen size") << sized << QString() << false << false << 0 << u"26x3"_s;
    sized.newWidth = 0;
    sized.newHeight = 5;
    QTest::newRow("only new_width counts") << sized << QString() << false << false << 0 << u"24x2"_s;
    sized.newWidth = -4;
    QTest::newRow("negative new_width is unset") << sized << QString() << false << false << 0 << u"24x2"_s;
    sized.newWidth = 40000;
    QTest::newRow("new_width past 16 bits is unset") << sized << QString() << false << false << 0 << u"24x2"_s;
}

void tst_BlockEdit::loadShows()
{
    QFETCH(Row, row);
    QFETCH(QString, translation);
    QFETCH(bool, revised);
    QFETCH(bool, revisedEnabled);
    QFETCH(int, nodeImage);
    QFETCH(QString, size);
    TestHome home;
    QVERIFY(insertBlock(home, row));
    Database db;
    QVERIFY(openStore(db, home.storePath()));

    const BlockLoad load = loadBlock(db, u"field:0012.txt;3"_s);
    QCOMPARE(load.outcome, BlockLoad::Outcome::Loaded);
    QCOMPARE(load.caption, u"[field] - [0012.txt] - [3]"_s);
    QVERIFY(load.editorsEnabled);
    QCOMPARE(load.selectedImage, 6);
    QCOMPARE(load.original, u"Hello.<End of Block>"_s);
    QCOMPARE(load.translation, translation);
    QCOMPARE(load.revised, revised);
    QCOMPARE(load.revisedEnabled, revisedEnabled);
    QCOMPARE(load.nodeImage, nodeImage);
    QVERIFY(load.hasSize);
    QCOMPARE(load.currentWidth + u'x' + load.currentHeight, size);
}

void tst_BlockEdit::loadIgnoresNodesThatAreNotBlocks_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("root") << u"Root"_s;
    QTest::newRow("folder") << u"field"_s;
    QTest::newRow("script") << u"0012.txt"_s;
    QTest::newRow("colon without semicolon") << u"field:0012.txt"_s;
    QTest::newRow("number beyond 16 bits") << u"field:0012.txt;40000"_s;
}

void tst_BlockEdit::loadIgnoresNodesThatAreNotBlocks()
{
    QFETCH(QString, key);
    TestHome home;
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    const BlockLoad load = loadBlock(db, key);
    QCOMPARE(load.outcome, BlockLoad::Outcome::NotABlock);
    QVERIFY(!load.editorsEnabled);
    QVERIFY(!load.revisedEnabled);
    QVERIFY(load.caption.isEmpty());
}

void tst_BlockEdit::loadRefusesDuplicates()
{
    TestHome home;
    Row r;
    r.translated = 1;
    r.textT = u"Hola.<End of Block>"_s;
    QVERIFY(insertBlock(home, r));
    QVERIFY(insertBlock(home, r));
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    const BlockLoad load = loadBlock(db, u"field:0012.txt;3"_s);
    QCOMPARE(load.outcome, BlockLoad::Outcome::Duplicate);
    QCOMPARE(load.message, u"Duplicate records, FATAL ERROR"_s);
    QVERIFY(!load.editorsEnabled);
    QVERIFY(load.translation.isEmpty());
    QVERIFY(!load.stored);
    QCOMPARE(load.caption, u"[field] - [0012.txt] - [3]"_s);
    QVERIFY(load.revisedEnabled); // enabled before the rows were counted
}

void tst_BlockEdit::loadOfAMissingRowEnablesEmptyEditors()
{
    TestHome home;
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    const BlockLoad load = loadBlock(db, u"battle_script:gone.txt;9"_s);
    QCOMPARE(load.outcome, BlockLoad::Outcome::Loaded);
    QVERIFY(load.editorsEnabled);
    QVERIFY(load.original.isEmpty());
    QVERIFY(!load.hasSize);
    QVERIFY(!load.stored);
}

void tst_BlockEdit::loadReportsAStoreThatCannotBeRead()
{
    TestHome home;
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    const BlockLoad load = loadBlock(db, u"fields:0012.txt;3"_s);
    QCOMPARE(load.outcome, BlockLoad::Outcome::Failed);
    QVERIFY(load.message.contains(u"0012.txt"_s));
    QVERIFY(load.message.contains(u"no such table"_s));
}

void tst_BlockEdit::saveWrites_data()
{
    QTest::addColumn<Row>("row");
    QTest::addColumn<QString>("nodeText");
    QTest::addColumn<QString>("translation");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<bool>("revised");
    QTest::addColumn<QString>("statement");
    QTest::addColumn<int>("image");
    QTest::addColumn<QString>("newNodeText");

    Row r;
    QTest::newRow("translation, not revised")
        << r << u"3"_s << u"It's here.\r\n<End of Block>"_s << QString() << false
        << u"UPDATE field SET text_data_t = 'It`s here.\r\n<End of Block>', comments = '', translated = 1, "
           "revised = 0 WHERE file_name = '0012.txt' AND dialogue_id = 3;"_s
        << 5 << u"3"_s;
    QTest::newRow("translation, revised")
        << r << u"3"_s << u"Hola.<End of Block>"_s << QString() << true
        << u"UPDATE field SET text_data_t = 'Hola.<End of Block>', comments = '', translated = 1, "
           "revised = 1 WHERE file_name = '0012.txt' AND dialogue_id = 3;"_s
        << 7 << u"3"_s;
    r.translated = 1;
    r.revised = 1;
    r.textT = u"Hola.<End of Block>"_s;
    QTest::newRow("emptied translation keeps the revised flag")
        << r << u"3"_s << QString() << QString() << true
        << u"UPDATE field SET text_data_t = '', comments = '', translated = 0, "
           "revised = 1 WHERE file_name = '0012.txt' AND dialogue_id = 3;"_s
        << 4 << u"3"_s;
    QTest::newRow("a comment adds the marker")
        << r << u"3"_s << QString() << u"Don't rush"_s << false
        << u"UPDATE field SET text_data_t = '', comments = 'Don`t rush', translated = 0, "
           "revised = 0 WHERE file_name = '0012.txt' AND dialogue_id = 3;"_s
        << 4 << u"3[c]"_s;
    r.comments = u"old"_s;
    QTest::newRow("an emptied comment takes it away")
        << r << u"3[c]"_s << u"Hola.<End of Block>"_s << QString() << false
        << u"UPDATE field SET text_data_t = 'Hola.<End of Block>', comments = '', translated = 1, "
           "revised = 0 WHERE file_name = '0012.txt' AND dialogue_id = 3;"_s
        << 5 << u"3"_s;
    QTest::newRow("a kept comment keeps the marker")
        << r << u"3[c]"_s << u"Hola.<End of Block>"_s << u"old"_s << false << QString() << 5 << u"3[c]"_s;
}

void tst_BlockEdit::saveWrites()
{
    QFETCH(Row, row);
    QFETCH(QString, nodeText);
    QFETCH(QString, translation);
    QFETCH(QString, comment);
    QFETCH(bool, revised);
    QFETCH(QString, statement);
    QFETCH(int, image);
    QFETCH(QString, newNodeText);
    TestHome home;
    QVERIFY(insertBlock(home, row));
    Row other = row;
    other.table = u"battle_script"_s;
    other.translated = 0;
    for (int id = 1; id <= 7; ++id) { // 8 blocks in all, so the percentage shows
        other.id = id;
        QVERIFY(insertBlock(home, other));
    }
    Database db;
    QVERIFY(openStore(db, home.storePath()));

    const BlockSave save = saveBlock(db, u"field:0012.txt;3"_s, nodeText, {translation, comment, revised}, nullptr);
    QVERIFY(save.isBlock);
    QVERIFY(save.ok);
    QVERIFY(save.written);
    if (!statement.isEmpty())
        QCOMPARE(save.statement, statement);
    QCOMPARE(save.nodeImage, image);
    QCOMPARE(save.nodeText, newNodeText);
    QCOMPARE(save.revisedEnabled, !translation.isEmpty());
    QCOMPARE(save.status, u">Translation status: %1% translated"_s.arg(translation.isEmpty() ? 0 : 12));

    const QVariantList stored = storedRow(db, row);
    QCOMPARE(stored.value(8).toString(), QString(translation).replace(u'\'', u'`'));
    QCOMPARE(stored.value(5).toString(), QString(comment).replace(u'\'', u'`'));
    QCOMPARE(stored.value(6).toInt(), translation.isEmpty() ? 0 : 1);
    QCOMPARE(stored.value(7).toInt(), revised ? 1 : 0);
    QCOMPARE(stored.value(2).toString(), row.text);
}

void tst_BlockEdit::saveOfANonBlockNodeWritesNothing()
{
    TestHome home;
    QVERIFY(insertBlock(home, Row()));
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    for (const QString &key : {u"Root"_s, u"field"_s, u"0012.txt"_s}) {
        const BlockSave save = saveBlock(db, key, key, {u"x"_s, u"y"_s, true}, nullptr);
        QVERIFY(!save.isBlock);
        QVERIFY(save.statement.isEmpty());
    }
    QCOMPARE(db.changedRows(), 0);
}

void tst_BlockEdit::anUnchangedSaveLeavesTheRowAlone()
{
    TestHome home;
    Row r;
    r.translated = 1;
    r.textT = u"Hola.<End of Block>"_s;
    r.comments = u"note"_s;
    QVERIFY(insertBlock(home, r));
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    const QString key = u"field:0012.txt;3"_s;
    const BlockLoad load = loadBlock(db, key);
    QVERIFY(load.stored);

    const BlockEdits same{load.translation, load.comment, load.revised};
    const BlockSave idle = saveBlock(db, key, u"3[c]"_s, same, &*load.stored);
    QVERIFY(idle.ok);
    QVERIFY(!idle.written);
    QCOMPARE(db.changedRows(), 0);
    // It still behaves as a save for the tree and the status line.
    QCOMPARE(idle.nodeImage, 5);
    QCOMPARE(idle.nodeText, u"3[c]"_s);
    QCOMPARE(idle.status, u">Translation status: 100% translated"_s);

    const BlockSave ticked = saveBlock(db, key, u"3[c]"_s, {load.translation, load.comment, true}, &*idle.stored);
    QVERIFY(ticked.written);
    QCOMPARE(db.changedRows(), 1);
    const BlockSave again = saveBlock(db, key, u"3[c]"_s, {load.translation, load.comment, true}, &*ticked.stored);
    QVERIFY(!again.written);
    QCOMPARE(db.changedRows(), 1);
}

void tst_BlockEdit::anUntouchedBlockSurvivesByteForByte()
{
    TestHome home;
    Row r;
    r.translated = 1;
    r.revised = 1;
    r.text = u"It`s  \r\n\r\n  far.\n<End of Block>"_s;
    r.textT = u"Est`a  \r\n\r\n lejos \t\r\n<End of Block> "_s;
    r.comments = u"line one\r\nline `two` "_s;
    r.newWidth = 30;
    r.newHeight = 4;
    QVERIFY(insertBlock(home, r));
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    const QVariantList before = storedRow(db, r);
    const BlockLoad load = loadBlock(db, u"field:0012.txt;3"_s);
    // Forced, as a manual save writes: the row must come back the same.
    const BlockSave save =
        saveBlock(db, u"field:0012.txt;3"_s, u"3[c]"_s, {load.translation, load.comment, load.revised}, nullptr);
    QVERIFY(save.written);
    QCOMPARE(storedRow(db, r), before);
}

void tst_BlockEdit::aFailedSaveSaysSoAndKeepsNothing()
{
    TestHome home;
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    const BlockSave save = saveBlock(db, u"fields:0012.txt;3"_s, u"3"_s, {u"Hola"_s, {}, false}, nullptr);
    QVERIFY(save.isBlock);
    QVERIFY(!save.ok);
    QVERIFY(!save.stored);
    QVERIFY(save.message.contains(u"could not be saved"_s));
    QVERIFY(save.message.contains(u"0012.txt"_s));
}

void tst_BlockEdit::resetWindowSize_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<bool>("reset");
    QTest::newRow("field") << u"field"_s << true;
    QTest::newRow("battle_script") << u"battle_script"_s << false;
    QTest::newRow("battling_arena") << u"battling_arena"_s << false;
}

void tst_BlockEdit::resetWindowSize()
{
    QFETCH(QString, table);
    QFETCH(bool, reset);
    TestHome home;
    Row r;
    r.table = table;
    r.newWidth = 26;
    r.newHeight = 3;
    QVERIFY(insertBlock(home, r));
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    const WindowSizeReset result = ::resetWindowSize(db, table + u":0012.txt;3"_s);
    QCOMPARE(result.fieldBlock, reset);
    QCOMPARE(result.hasSize, reset);
    const QVariantList stored = storedRow(db, r);
    QCOMPARE(stored.value(9).toInt(), reset ? 0 : 26);
    QCOMPARE(stored.value(10).toInt(), reset ? 0 : 3);
    if (reset) {
        QCOMPARE(result.currentWidth, u"24"_s);
        QCOMPARE(result.currentHeight, u"2"_s);
    }
    QVERIFY(!::resetWindowSize(db, u"Root"_s).fieldBlock);
}

QTEST_APPLESS_MAIN(tst_BlockEdit)
#include "tst_blockedit.moc"
