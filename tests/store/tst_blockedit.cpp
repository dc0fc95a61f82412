#include "keeping/blocksave.h"
#include "store/layout.h"
#include "tests/support/storedblock.h"
#include "tests/support/testhome.h"

#include <QTest>

using namespace Qt::StringLiterals;

using Rows = QList<StoredBlock>;
Q_DECLARE_METATYPE(Rows)

namespace {

const QString Key = u"field:0012.txt;3"_s;

// What a load gives the controls, on one line.
QString summary(const BlockLoad &l)
{
    const char *outcomes[] = {"not a block", "loaded", "duplicate", "failed"};
    QStringList s{QString::fromLatin1(outcomes[int(l.outcome)]), l.caption};
    if (l.editorsEnabled)
        s << u"editors"_s;
    if (l.revisedEnabled)
        s << u"revised box"_s;
    if (l.revised)
        s << u"ticked"_s;
    s << u"image %1/%2"_s.arg(l.nodeImage).arg(l.selectedImage);
    if (l.hasSize)
        s << l.currentWidth + u'x' + l.currentHeight;
    s << l.original << l.translation << l.comment << l.message;
    s.removeAll(QString());
    return s.join(u", "_s);
}

} // namespace

// One block's load, save and window-size reset against a scratch store.
class tst_BlockEdit : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void load_data();
    void load();
    void save_data();
    void save();
    void saveSkipsWhatIsNotNeeded();
    void anUntouchedBlockSurvivesByteForByte();
    void resetWindowSize();

private:
    std::unique_ptr<TestHome> m_home;
    Database m_db;
};

void tst_BlockEdit::init()
{
    m_db.close();
    m_home = std::make_unique<TestHome>(TestHome::StoreOnly);
    QVERIFY(openStore(m_db, m_home->storePath()));
}

void tst_BlockEdit::load_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QString>("expected");
    StoredBlock r;
    r.text = u"It`s."_s;
    r.comments = u"Don`t"_s;
    r.textT = u"`A`"_s; // shown only when translated
    const QString loaded = u"loaded, [field] - [0012.txt] - [3], editors, "_s;
    QTest::newRow("untranslated") << Key << Rows{r} << loaded + u"image 0/6, 24x2, It's., Don't"_s;
    r.translated = 1;
    QTest::newRow("translated") << Key << Rows{r} << loaded + u"revised box, image 0/6, 24x2, It's., 'A', Don't"_s;
    r.revised = 1;
    QTest::newRow("translated and revised")
        << Key << Rows{r} << loaded + u"revised box, ticked, image 7/6, 24x2, It's., 'A', Don't"_s;
    r.translated = 0;
    QTest::newRow("revised, not translated")
        << Key << Rows{r} << loaded + u"revised box, ticked, image 7/6, 24x2, It's., Don't"_s;
    r = StoredBlock();
    r.newWidth = 26;
    r.newHeight = 3;
    QTest::newRow("chosen size") << Key << Rows{r} << loaded + u"image 0/6, 26x3, Hello.<End of Block>"_s;
    r.newWidth = 32767;
    QTest::newRow("chosen width at the 16-bit limit") << Key << Rows{r}
                                                      << loaded + u"image 0/6, 32767x3, Hello.<End of Block>"_s;
    r.newWidth = 40000;
    QTest::newRow("chosen width past 16 bits") << Key << Rows{r} << loaded + u"image 0/6, 24x2, Hello.<End of Block>"_s;
    r.newWidth = 0;
    QTest::newRow("only new_width counts") << Key << Rows{r} << loaded + u"image 0/6, 24x2, Hello.<End of Block>"_s;
    QTest::newRow("no row: empty editors") << Key << Rows{} << loaded + u"revised box, image 0/6"_s;
    QTest::newRow("two rows") << Key << Rows{r, r}
                              << u"duplicate, [field] - [0012.txt] - [3], revised box, image 0/0, "
                                 "Duplicate records, FATAL ERROR"_s;
    QTest::newRow("unreadable") << u"fields:0012.txt;3"_s << Rows{r}
                                << u"failed, [fields] - [0012.txt] - [3], revised box, image 0/0, Block 3 of 0012.txt "
                                   "could not be read from the database (The database refused the statement: no such "
                                   "table: fields). Nothing was changed."_s;
    for (const QString &key : {u"Root"_s, u"field"_s, u"0012.txt"_s, u"field:0012.txt"_s, u"field:0012.txt;40000"_s})
        QTest::newRow(qPrintable(key)) << key << Rows{r} << u"not a block, image 0/0"_s;
}

void tst_BlockEdit::load()
{
    QFETCH(QString, key);
    QFETCH(Rows, rows);
    QFETCH(QString, expected);
    for (const StoredBlock &row : rows)
        QVERIFY(insertBlock(*m_home, row));
    const BlockLoad load = loadBlock(m_db, key);
    QCOMPARE(summary(load), expected);
    QCOMPARE(load.stored.has_value(), rows.size() == 1 && load.outcome == BlockLoad::Outcome::Loaded);
}

void tst_BlockEdit::save_data()
{
    QTest::addColumn<StoredBlock>("row");
    QTest::addColumn<QString>("nodeText");
    QTest::addColumn<BlockEdits>("edits");
    QTest::addColumn<QString>("expected"); // node image and text, revised box, status; the stored columns 5 to 8
    StoredBlock r;
    QTest::newRow("translation, not revised") << r << u"3"_s << BlockEdits{u"It's.\r\n<End>"_s, {}, false}
                                              << u"5 3 enabled 12%: |1|0|It`s.\r\n<End>"_s;
    QTest::newRow("translation, revised") << r << u"3"_s << BlockEdits{u"Hola"_s, {}, true} << u"7 3 enabled 12%: |1|1|Hola"_s;
    r.translated = 1;
    r.revised = 1;
    r.textT = u"Hola"_s;
    QTest::newRow("emptied translation keeps the revised flag") << r << u"3"_s << BlockEdits{{}, {}, true}
                                                                << u"4 3 disabled 0%: |0|1|"_s;
    QTest::newRow("a comment adds the marker") << r << u"3"_s << BlockEdits{{}, u"Don't"_s, false}
                                               << u"4 3[c] disabled 0%: Don`t|0|0|"_s;
    r.comments = u"old"_s;
    QTest::newRow("an emptied comment takes it away") << r << u"3[c]"_s << BlockEdits{u"Hola"_s, {}, false}
                                                      << u"5 3 enabled 12%: |1|0|Hola"_s;
    QTest::newRow("a kept comment keeps the marker") << r << u"3[c]"_s << BlockEdits{u"Hola"_s, u"old"_s, false}
                                                     << u"5 3[c] enabled 12%: old|1|0|Hola"_s;
}

void tst_BlockEdit::save()
{
    QFETCH(StoredBlock, row);
    QFETCH(QString, nodeText);
    QFETCH(BlockEdits, edits);
    QFETCH(QString, expected);
    QVERIFY(insertBlock(*m_home, row));
    StoredBlock other; // 8 blocks in all: one translated is 12.5, shown as 12%
    other.table = u"battle_script"_s;
    for (other.id = 1; other.id <= 7; ++other.id)
        QVERIFY(insertBlock(*m_home, other));
    const Result<BlockSave> saved = saveBlock(m_db, Key, nodeText, edits, nullptr);
    QVERIFY(saved && saved->isBlock && saved->written);
    const BlockSave &save = *saved;
    QStringList stored;
    for (const QVariant &value : storedRow(m_db, row).mid(ColComments, 4))
        stored << value.toString();
    QCOMPARE(u"%1 %2 %3 %4: "_s.arg(QString::number(save.nodeImage), save.nodeText,
                                   save.revisedEnabled ? u"enabled"_s : u"disabled"_s,
                                   save.status.value_or(QString()).section(u' ', 2, 2))
                 + stored.join(u'|'),
             expected);
    QCOMPARE(storedRow(m_db, row).value(ColTextData).toString(), row.text);
}

// Saves that must not write: a node that is not a block, a save of what the
// store already holds, and one the store refuses. The statement's text is the
// one every save writes.
void tst_BlockEdit::saveSkipsWhatIsNotNeeded()
{
    StoredBlock r;
    r.translated = 1;
    r.textT = u"Hola"_s;
    r.comments = u"note"_s;
    QVERIFY(insertBlock(*m_home, r));
    for (const QString &key : {u"Root"_s, u"field"_s, u"0012.txt"_s})
        QVERIFY(!saveBlock(m_db, key, key, {u"x"_s, u"y"_s, true}, nullptr)->isBlock);
    const BlockLoad load = loadBlock(m_db, Key);
    const Result<BlockSave> idleSave = saveBlock(m_db, Key, u"3[c]"_s, {load.translation, load.comment, false}, &*load.stored);
    QVERIFY(idleSave && !idleSave->written);
    const BlockSave &idle = *idleSave;
    QCOMPARE(idle.status, u">Translation status: 100% translated"_s); // still a save for the status line
    QCOMPARE(m_db.changedRows(), 0);
    const Result<BlockSave> tickedSave = saveBlock(m_db, Key, u"3[c]"_s, {load.translation, load.comment, true}, &*idle.stored);
    QVERIFY(tickedSave && tickedSave->written);
    const BlockSave &ticked = *tickedSave;
    QCOMPARE(ticked.statement, u"UPDATE field SET text_data_t = 'Hola', comments = 'note', translated = 1, "
                               "revised = 1 WHERE file_name = '0012.txt' AND dialogue_id = 3;"_s);
    QVERIFY(!saveBlock(m_db, Key, u"3[c]"_s, {load.translation, load.comment, true}, &*ticked.stored)->written);
    QCOMPARE(m_db.changedRows(), 1);

    const Result<BlockSave> refused = saveBlock(m_db, u"fields:0012.txt;3"_s, u"3"_s, {u"Hola"_s, {}, false}, nullptr);
    QVERIFY(!refused);
    QVERIFY(refused.error().message.contains(u"could not be saved"_s) && refused.error().message.contains(u"0012.txt"_s));
}

void tst_BlockEdit::anUntouchedBlockSurvivesByteForByte()
{
    StoredBlock r;
    r.translated = 1;
    r.revised = 1;
    r.text = u"It`s  \r\n\r\n  far.\n<End of Block>"_s;
    r.textT = u"Est`a  \r\n\r\n lejos \t\r\n<End of Block> "_s;
    r.comments = u"line one\r\nline `two` "_s;
    r.newWidth = 30;
    r.newHeight = 4;
    QVERIFY(insertBlock(*m_home, r));
    const QVariantList before = storedRow(m_db, r);
    const BlockLoad load = loadBlock(m_db, Key);
    QVERIFY(saveBlock(m_db, Key, u"3[c]"_s, {load.translation, load.comment, load.revised}, nullptr)->written);
    QCOMPARE(storedRow(m_db, r), before);
}

// Only field blocks have a size of their own to reset.
void tst_BlockEdit::resetWindowSize()
{
    for (const QString &table : ScriptTables::all) {
        StoredBlock r;
        r.table = table;
        r.newWidth = 26;
        r.newHeight = 3;
        QVERIFY(insertBlock(*m_home, r));
        const WindowSizeReset reset = ::resetWindowSize(m_db, table + u":0012.txt;3"_s);
        const bool field = table == ScriptTables::field;
        QCOMPARE(reset.fieldBlock, field);
        QCOMPARE(reset.currentWidth + u'x' + reset.currentHeight, field ? u"24x2"_s : u"x"_s);
        QCOMPARE(storedRow(m_db, r).mid(ColNewWidth), (field ? QVariantList{0, 0} : QVariantList{26, 3}));
    }
    QVERIFY(!::resetWindowSize(m_db, u"Root"_s).fieldBlock);
}

QTEST_APPLESS_MAIN(tst_BlockEdit)
#include "tst_blockedit.moc"
