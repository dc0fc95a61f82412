#include "app/editorcontroller.h"
#include "app/mainwindow.h"
#include "app/previewcontroller.h"
#include "editor/renderer.h"
#include "editor/widgets/translatededit.h"
#include "store/scripttreemodel.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/testhome.h"

#include <QAction>
#include <QFrame>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Tests bring a strip of their own: one colour per piece.
QImage frameStrip()
{
    QImage strip(64, 8, QImage::Format_RGB32);
    for (int x = 0; x < 64; ++x) {
        for (int y = 0; y < 8; ++y)
            strip.setPixel(x, y, qRgb(0x80, 0x10 * (x / 8), 0xc0));
    }
    return strip;
}

} // namespace

// The editor and the preview wired into a real main window, driven through
// its controls as a translator would.
class tst_EditorController : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void insertCommands_data();
    void insertCommands();
    void insertCommandsNeedAnOpenBlock();
    void guideToggles();
    void altArrowsResizeFieldBlocks_data();
    void altArrowsResizeFieldBlocks();
    void otherTablesKeepTheirSize_data();
    void otherTablesKeepTheirSize();
    void keyDownDrawsEvenAnEmptyText();
    void emptyingTheTextClearsThePreview();
    void aBurstOfKeysDrawsOnce();
    void redrawAndClearForBlockEditing();
    void scrollBarMovesThePreview();

private:
    void openBlock(const QString &key, const QString &width, const QString &height, const QString &text = {});
    QString storedSize() const;
    QImage expectedFor(const QString &text) const;

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<MainWindow> m_window;
    TranslatedEdit *m_editor = nullptr;
    PreviewController *m_preview = nullptr;
    QStandardItemModel m_tree;
};

void tst_EditorController::init()
{
    m_home = std::make_unique<TestHome>();
    QVERIFY(m_home->isValid());
    for (const char *table : {"field", "battle_script"}) {
        QVERIFY(m_home->execute(
            u"INSERT INTO %1 (file_name, dialogue_id, text_data, width, height, comments, translated, revised, "
            "text_data_t, new_width, new_height) VALUES ('town 01.txt', 3, 'x', 56, 2, '', 0, 0, '', 0, 0);"_s.arg(
                QLatin1StringView(table))));
    }
    m_messages = std::make_unique<MessageRecorder>();
    m_window = std::make_unique<MainWindow>(m_home->path());
    QVERIFY(m_window->load());
    m_editor = qobject_cast<TranslatedEdit *>(m_window->controls().rtxtTranslated);
    QVERIFY(m_editor);
    m_preview = PreviewController::of(*m_window);
    QVERIFY(m_preview);
    m_window->controls().Scripts->setModel(&m_tree);
    m_preview->setFrameStrip(frameStrip());
}

void tst_EditorController::cleanup()
{
    m_window.reset();
    m_messages.reset();
    m_home.reset();
    m_tree.clear();
}

// What loading a block leaves behind, as far as the editor is concerned.
void tst_EditorController::openBlock(const QString &key, const QString &width, const QString &height,
                                     const QString &text)
{
    m_tree.clear();
    auto *item = new QStandardItem(key);
    item->setData(key, ScriptTreeModel::KeyRole);
    m_tree.appendRow(item);
    m_window->controls().Scripts->setCurrentIndex(item->index());
    m_window->state().currentWidth = width;
    m_window->state().currentHeight = height;
    m_editor->setEnabled(true);
    m_editor->setPlainTextCrLf(text);
    m_preview->redrawPreview();
}

QString tst_EditorController::storedSize() const
{
    Database db;
    if (!openStore(db, m_home->storePath()))
        return {};
    ResultSet rows = db.query(u"SELECT new_width, new_height FROM field WHERE dialogue_id = 3;"_s);
    rows.step();
    return rows.text(0) + u'x' + rows.text(1);
}

QImage tst_EditorController::expectedFor(const QString &text) const
{
    PreviewCanvas canvas;
    canvas.font = m_window->state().picFont;
    canvas.frame = frameStrip();
    canvas.currentWidth = m_window->state().currentWidth;
    canvas.currentHeight = m_window->state().currentHeight;
    clearPreview(canvas);
    showPreview(text, canvas);
    return canvas.surface;
}

void tst_EditorController::insertCommands_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("toolbarPosition");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caret");
    QTest::newRow("New") << int(Command::InsertNew) << 5 << u"ab<New>\r\ncd"_s << 9;
    QTest::newRow("Wait") << int(Command::InsertWait) << 6 << u"ab<Wait>\r\ncd"_s << 10;
    QTest::newRow("Delay") << int(Command::InsertDelay) << 7 << u"ab<Delay >cd"_s << 9;
    QTest::newRow("Opcode") << int(Command::InsertOpcode) << 8 << u"ab<Opcode >cd"_s << 10;
    QTest::newRow("Close") << int(Command::InsertClose) << 9 << u"ab<Close><End of Block>cd"_s << 23;
    QTest::newRow("Space") << int(Command::InsertSpace) << 10 << u"ab<Space >cd"_s << 9;
}

void tst_EditorController::insertCommands()
{
    QFETCH(int, command);
    QFETCH(int, toolbarPosition);
    QFETCH(QString, expected);
    QFETCH(int, caret);
    openBlock(u"field:town 01.txt;3"_s, u"56"_s, u"2"_s, u"abcd"_s);
    m_editor->setCaretPosition(2);
    m_window->runCommand(Command(command));
    QCOMPARE(m_editor->plainTextCrLf(), expected);
    QCOMPARE(m_editor->caretPosition(), caret);

    // The toolbar button at its position does the same.
    m_editor->setPlainTextCrLf(u"abcd"_s);
    m_editor->setCaretPosition(2);
    m_window->runToolButton(toolbarPosition);
    QCOMPARE(m_editor->plainTextCrLf(), expected);
    // The preview follows the text.
    QTRY_COMPARE(m_preview->canvas().surface, expectedFor(expected));
}

void tst_EditorController::insertCommandsNeedAnOpenBlock()
{
    openBlock(u"field:town 01.txt;3"_s, u"56"_s, u"2"_s, u"abcd"_s);
    m_editor->setEnabled(false);
    for (Command command : {Command::InsertNew, Command::InsertWait, Command::InsertDelay, Command::InsertSpace,
                            Command::InsertOpcode, Command::InsertClose})
        m_window->runCommand(command);
    for (int position = 5; position <= 10; ++position)
        m_window->runToolButton(position);
    m_window->controls().mnuNew->trigger();
    QCOMPARE(m_editor->plainTextCrLf(), u"abcd"_s);
}

void tst_EditorController::guideToggles()
{
    const MainControls &c = m_window->controls();
    QVERIFY(!c.li28->isHidden());
    QVERIFY(!c.li32->isHidden());
    QCOMPARE(c.li28->x(), 240);
    QCOMPARE(c.li32->x(), 288);
    c.mnu28->trigger(); // as F7 does
    QVERIFY(c.li28->isHidden());
    QVERIFY(!c.mnu28->isChecked());
    QVERIFY(!c.li32->isHidden());
    c.mnu28->trigger();
    QVERIFY(!c.li28->isHidden());
    QVERIFY(c.mnu28->isChecked());
    m_window->runCommand(Command::Guide32);
    QVERIFY(c.li32->isHidden());
    QVERIFY(!c.mnu32->isChecked());
    QCOMPARE(c.mnu28->shortcut(), QKeySequence(Qt::Key_F7));
    QCOMPARE(c.mnu32->shortcut(), QKeySequence(Qt::Key_F8));
}

void tst_EditorController::altArrowsResizeFieldBlocks_data()
{
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("size");   // currentWidth x currentHeight afterwards
    QTest::addColumn<QString>("stored"); // new_width x new_height
    QTest::newRow("right") << u"56"_s << u"2"_s << int(Qt::Key_Right) << u"58x2"_s << u"58x2"_s;
    QTest::newRow("down") << u"56"_s << u"2"_s << int(Qt::Key_Down) << u"56x3"_s << u"56x3"_s;
    QTest::newRow("left from 2") << u"2"_s << u"2"_s << int(Qt::Key_Left) << u"0x2"_s << u"0x2"_s;
    QTest::newRow("left at 0 stores nothing") << u"0"_s << u"2"_s << int(Qt::Key_Left) << u"0x2"_s << u"0x0"_s;
    QTest::newRow("up at 0 stores nothing") << u"56"_s << u"0"_s << int(Qt::Key_Up) << u"56x0"_s << u"0x0"_s;
}

void tst_EditorController::altArrowsResizeFieldBlocks()
{
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(int, key);
    QFETCH(QString, size);
    QFETCH(QString, stored);
    openBlock(u"field:town 01.txt;3"_s, width, height, u"Hi"_s);
    QTest::keyClick(m_editor, Qt::Key(key), Qt::AltModifier);
    const MainState &state = m_window->state();
    QCOMPARE(state.currentWidth + u'x' + state.currentHeight, size);
    QCOMPARE(storedSize(), stored);
    QCOMPARE(m_editor->plainTextCrLf(), u"Hi"_s);
    // The preview is drawn at the new size before anything else happens.
    QCOMPARE(m_preview->canvas().surface, expectedFor(u"Hi"_s));
}

void tst_EditorController::otherTablesKeepTheirSize_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("battle_script block") << u"battle_script:town 01.txt;3"_s;
    QTest::newRow("battling_arena block") << u"battling_arena:town 01.txt;3"_s;
    QTest::newRow("script node") << u"town 01.txt"_s;
    QTest::newRow("folder node") << u"field"_s;
    QTest::newRow("root") << u"Root"_s;
}

void tst_EditorController::otherTablesKeepTheirSize()
{
    QFETCH(QString, key);
    openBlock(key, u"56"_s, u"2"_s, u"Hi"_s);
    const int renders = m_preview->renderCount();
    const qint64 written = m_window->db().changedRows();
    QTest::keyClick(m_editor, Qt::Key_Right, Qt::AltModifier);
    QTest::keyClick(m_editor, Qt::Key_Down, Qt::AltModifier);
    QCoreApplication::processEvents();
    QCOMPARE(m_window->state().currentWidth, u"56"_s);
    QCOMPARE(m_window->state().currentHeight, u"2"_s);
    QCOMPARE(m_window->db().changedRows(), written);
    QCOMPARE(storedSize(), u"0x0"_s);
    // Neither the keys nor a text change asked for a redraw.
    QCOMPARE(m_preview->renderCount(), renders);
}

void tst_EditorController::keyDownDrawsEvenAnEmptyText()
{
    // In a field block every key down draws the editor's text, so with an
    // empty editor the first, empty window shows; a battle_script block only
    // redraws on text changes.
    openBlock(u"field:town 01.txt;3"_s, u"56"_s, u"2"_s);
    m_preview->clearPreview();
    QTest::keyClick(m_editor, Qt::Key_Left);
    QTRY_COMPARE(m_preview->canvas().surface, expectedFor(QString()));
    QVERIFY(m_preview->canvas().surface.pixel(8, 8) != PreviewLayout::Background);

    openBlock(u"battle_script:town 01.txt;3"_s, u"56"_s, u"2"_s);
    m_preview->clearPreview();
    QTest::keyClick(m_editor, Qt::Key_Left);
    QCoreApplication::processEvents();
    QCOMPARE(m_preview->canvas().surface.pixel(8, 8), PreviewLayout::Background);
}

void tst_EditorController::emptyingTheTextClearsThePreview()
{
    const struct
    {
        QString key;
        int windowRows;
    } blocks[] = {
        // The field block's key down drew once before the text emptied: its
        // window size stays known to the next page break.
        {u"field:town 01.txt;3"_s, 5},
        {u"battle_script:town 01.txt;3"_s, 0},
    };
    for (const auto &block : blocks) {
        openBlock(block.key, u"56"_s, u"2"_s, u"a"_s);
        m_window->state().windowRows = 0;
        m_editor->setCaretPosition(1);
        QTest::keyClick(m_editor, Qt::Key_Backspace);
        QCOMPARE(m_editor->plainTextCrLf(), QString());
        m_preview->flush();
        QImage blank = m_preview->canvas().surface;
        blank.fill(PreviewLayout::Background);
        QCOMPARE(m_preview->canvas().surface, blank);
        QCOMPARE(m_window->state().windowRows, block.windowRows);
    }
}

void tst_EditorController::aBurstOfKeysDrawsOnce()
{
    openBlock(u"field:town 01.txt;3"_s, u"56"_s, u"2"_s);
    const int renders = m_preview->renderCount();
    QSignalSpy redrawn(m_preview, &PreviewController::redrawn);
    QTest::keyClicks(m_editor, u"Tom's<sword>"_s); // no event loop turn in between
    QCOMPARE(m_preview->renderCount(), renders);
    QVERIFY(redrawn.wait());
    QCOMPARE(m_preview->renderCount(), renders + 1);
    QCOMPARE(m_editor->plainTextCrLf(), u"Tom`s<sword>"_s);
    QCOMPARE(m_preview->canvas().surface, expectedFor(u"Tom`s<sword>"_s));
}

void tst_EditorController::redrawAndClearForBlockEditing()
{
    openBlock(u"battle_script:town 01.txt;3"_s, u"40"_s, u"1"_s);
    m_preview->redrawPreview();
    QCOMPARE(m_preview->canvas().surface, expectedFor(QString()));
    QCOMPARE(m_window->state().windowRows, 3);
    m_preview->clearPreview();
    QCOMPARE(m_preview->canvas().surface.pixel(8, 8), PreviewLayout::Background);
}

void tst_EditorController::scrollBarMovesThePreview()
{
    const MainControls &c = m_window->controls();
    QCOMPARE(c.VScroll1->pageStep(), 15);
    c.VScroll1->setValue(3);
    QCOMPARE(c.picPreview->y(), -24);
}

QTEST_MAIN(tst_EditorController)
#include "tst_editorcontroller.moc"
