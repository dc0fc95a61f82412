#include "app/blockeditcontroller.h"
#include "app/mainwindow.h"
#include "app/memorycontroller.h"
#include "memory/widgets/memorypanel.h"
#include "store/widgets/scripttree.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/storedblock.h"
#include "tests/support/testhome.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QHelpEvent>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {
// Selects the node and loads it as a click does; false when it did not open.
bool openKey(MainWindow &window, const QString &key)
{
    auto *tree = window.findChild<QTreeView *>(u"Scripts"_s);
    auto *edit = window.findChild<BlockEditController *>();
    if (!tree || !edit || !ScriptTree::selectKey(*tree, key))
        return false;
    edit->openBlock(tree->currentIndex());
    return ScriptTree::selectedKey(*tree) == key;
}
} // namespace

namespace {

const QString Open = u"field:a.txt;2"_s;
const QString Gate = u"Open the gate, Tolm.<End of Block>"_s;

} // namespace

// Wiring only: what the panel, the shortcuts and the dialogs reach.
class tst_MemoryController : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void openingABlockShowsMatchesAndContext();
    void ctrlDigitInsertsAsOneUndoStep();
    void aSaveReachesTheMemory();
    void repeatsAreAppliedAfterTheQuestion();
    void aContextClickOpensTheBlock();
    void aScriptNodeTellsItsFigures();

private:
    QTextEdit *editor() const { return m_window->findChild<QTextEdit *>(u"rtxtTranslated"_s); }
    MemoryPanel *panel() const { return m_window->findChild<MemoryPanel *>(); }

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<MainWindow> m_window;
    BlockEditController *m_edit = nullptr;
};

void tst_MemoryController::init()
{
    m_home = std::make_unique<TestHome>();
    const QList<StoredBlock> blocks = {
        {u"battling_arena"_s, u"z.txt"_s, 1, u"Fight!<End of Block>"_s, 24, 2, {}, 0, 0, {}},
        {u"field"_s, u"a.txt"_s, 1, u"Open the gate, friend.<End of Block>"_s, 24, 2, {}, 1, 0,
         u"Abre el portón, amigo.<End of Block>"_s},
        {u"field"_s, u"a.txt"_s, 2, Gate, 24, 2, {}, 0, 0, {}},
        {u"field"_s, u"a.txt"_s, 3, Gate, 24, 2, {}, 0, 0, {}},
        {u"battle_script"_s, u"b.txt"_s, 1, Gate, 24, 2, {}, 1, 0, u"Viejo."_s},
    };
    for (const StoredBlock &block : blocks)
        QVERIFY(insertBlock(*m_home, block));
    m_messages = std::make_unique<MessageRecorder>();
    m_window = std::make_unique<MainWindow>(m_home->path());
    QVERIFY(m_window->load());
    m_window->findChild<QTimer *>(u"saveTime"_s)->stop();
    m_edit = m_window->findChild<BlockEditController *>();
    QVERIFY(openKey(*m_window, Open));
}

void tst_MemoryController::cleanup()
{
    m_window.reset();
    m_messages.reset();
    m_home.reset();
}

void tst_MemoryController::openingABlockShowsMatchesAndContext()
{
    QVERIFY(panel()->matchesView()->toPlainText().contains(u"Abre el portón, amigo."_s));
    QVERIFY(panel()->matchesView()->toPlainText().contains(u"Viejo."_s));
    QVERIFY(panel()->contextView()->toPlainText().contains(u"Open the gate, friend."_s));
}

void tst_MemoryController::ctrlDigitInsertsAsOneUndoStep()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    editor()->setFocus();
    QTest::keyClicks(editor(), u"Si. "_s);
    const QString typed = editor()->toPlainText();
    QTest::keyClick(editor(), Qt::Key_1, Qt::ControlModifier);
    // The best match is the battle block with the same original.
    QCOMPARE(editor()->toPlainText(), typed + u"Viejo."_s);
    editor()->undo();
    QCOMPARE(editor()->toPlainText(), typed);
}

void tst_MemoryController::aSaveReachesTheMemory()
{
    editor()->setPlainText(u"Abre, Tolm."_s);
    m_window->runCommand(Command::Save);
    QVERIFY(openKey(*m_window, u"field:a.txt;3"_s));
    QVERIFY(panel()->matchesView()->toPlainText().contains(u"Abre, Tolm."_s));
}

void tst_MemoryController::repeatsAreAppliedAfterTheQuestion()
{
    editor()->setPlainText(u"Abre, Tolm."_s);
    m_messages->answerWith({Messages::Answer::Yes});
    QTimer::singleShot(0, this, [] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            dialog->accept();
    });
    panel()->repeatsButton()->click();
    QCOMPARE(m_messages->messages.size(), 1);
    QVERIFY(m_messages->texts().first().contains(u"2 other blocks"_s));
    const ScriptTreeModel *model = ScriptTree::model(*m_window->findChild<QTreeView *>(u"Scripts"_s));
    QCOMPARE(model->image(model->indexForKey(u"field:a.txt;3"_s)), int(ScriptTreeModel::Translated));
    QCOMPARE(storedRow(m_window->db(), u"battle_script"_s, u"b.txt"_s, 1).value(8), u"Abre, Tolm."_s);
    // A backup first, and the batch is the one Edit's undo takes back.
    QCOMPARE(QDir(m_home->filePath(u"backups"_s)).entryList({u"*_repeats.db"_s}).size(), 1);
    m_messages->answerWith({Messages::Answer::Yes});
    m_window->findChild<QAction *>(u"mnuUndoBatch"_s)->trigger();
    QVERIFY(m_messages->texts().last().startsWith(u"Apply to Repeats undone: 2 blocks"_s));
    QVERIFY(storedRow(m_window->db(), u"battle_script"_s, u"b.txt"_s, 1).value(8) != u"Abre, Tolm."_s);
}

void tst_MemoryController::aContextClickOpensTheBlock()
{
    emit panel()->contextView()->anchorClicked(QUrl(u"open:0"_s));
    QCOMPARE(ScriptTree::selectedKey(*m_window->findChild<QTreeView *>(u"Scripts"_s)), u"field:a.txt;1"_s);
}

void tst_MemoryController::aScriptNodeTellsItsFigures()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QTreeView *tree = m_window->findChild<QTreeView *>(u"Scripts"_s);
    const QRect script = tree->visualRect(ScriptTree::model(*tree)->indexForKey(u"a.txt"_s));
    QHelpEvent hover(QEvent::ToolTip, script.center(), tree->viewport()->mapToGlobal(script.center()));
    QApplication::sendEvent(tree->viewport(), &hover);
    QVERIFY(QToolTip::text().contains(u"3 blocks, 1 translated (33%)"_s));
}

QTEST_MAIN(tst_MemoryController)
#include "tst_memorycontroller.moc"
