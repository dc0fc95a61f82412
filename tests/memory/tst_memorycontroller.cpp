#include "app/memorycontroller.h"
#include "editor/widgets/translatededit.h"
#include "memory/widgets/memorypanel.h"
#include "tests/support/appfixture.h"
#include "tests/support/storedblock.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QHelpEvent>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>

using namespace Qt::StringLiterals;

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
    TranslatedEdit *editor() const { return m_app->window->findChild<TranslatedEdit *>(u"rtxtTranslated"_s); }
    MemoryPanel *panel() const { return m_app->window->findChild<MemoryPanel *>(); }

    std::unique_ptr<AppFixture> m_app;
};

void tst_MemoryController::init()
{
    m_app = std::make_unique<AppFixture>();
    const QList<StoredBlock> blocks = {
        {u"battling_arena"_s, u"z.txt"_s, 1, u"Fight!<End of Block>"_s, 24, 2, {}, 0, 0, {}},
        {u"field"_s, u"a.txt"_s, 1, u"Open the gate, friend.<End of Block>"_s, 24, 2, {}, 1, 0,
         u"Abre el portón, amigo.<End of Block>"_s},
        {u"field"_s, u"a.txt"_s, 2, Gate, 24, 2, {}, 0, 0, {}},
        {u"field"_s, u"a.txt"_s, 3, Gate, 24, 2, {}, 0, 0, {}},
        {u"battle_script"_s, u"b.txt"_s, 1, Gate, 24, 2, {}, 1, 0, u"Viejo."_s},
    };
    for (const StoredBlock &block : blocks)
        QVERIFY(insertBlock(m_app->home, block));
    QVERIFY(m_app->start());
    m_app->control<QTimer>(u"saveTime"_s)->stop();
    QVERIFY(m_app->open(Open));
}

void tst_MemoryController::cleanup()
{
    m_app.reset();
}

void tst_MemoryController::openingABlockShowsMatchesAndContext()
{
    QVERIFY(panel()->matchesView()->toPlainText().contains(u"Abre el portón, amigo."_s));
    QVERIFY(panel()->matchesView()->toPlainText().contains(u"Viejo."_s));
    QVERIFY(panel()->contextView()->toPlainText().contains(u"Open the gate, friend."_s));
}

void tst_MemoryController::ctrlDigitInsertsAsOneUndoStep()
{
    m_app->window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_app->window.get()));
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
    m_app->window->runCommand(Command::Save);
    QVERIFY(m_app->open(u"field:a.txt;3"_s));
    QVERIFY(panel()->matchesView()->toPlainText().contains(u"Abre, Tolm."_s));
}

void tst_MemoryController::repeatsAreAppliedAfterTheQuestion()
{
    editor()->setPlainText(u"Abre, Tolm."_s);
    m_app->messages.answerWith({Messages::Answer::Yes});
    QTimer::singleShot(0, this, [] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            dialog->accept();
    });
    panel()->repeatsButton()->click();
    QCOMPARE(m_app->messages.messages.size(), 1);
    QVERIFY(m_app->messages.texts().first().contains(u"2 other blocks"_s));
    const ScriptTreeModel *model = ScriptTree::model(*m_app->window->findChild<QTreeView *>(u"Scripts"_s));
    QCOMPARE(model->image(model->indexForKey(u"field:a.txt;3"_s)), int(ScriptTreeModel::Translated));
    QCOMPARE(storedRow(m_app->window->db(), u"battle_script"_s, u"b.txt"_s, 1).value(8), u"Abre, Tolm."_s);
    // A backup first, and the batch is the one Edit's undo takes back.
    QCOMPARE(QDir(m_app->home.filePath(u"backups"_s)).entryList({u"*_repeats.db"_s}).size(), 1);
    m_app->messages.answerWith({Messages::Answer::Yes});
    m_app->window->findChild<QAction *>(u"undoBatchAction"_s)->trigger();
    QVERIFY(m_app->messages.texts().last().startsWith(u"Apply to Repeats undone: 2 blocks"_s));
    QVERIFY(storedRow(m_app->window->db(), u"battle_script"_s, u"b.txt"_s, 1).value(8) != u"Abre, Tolm."_s);
}

void tst_MemoryController::aContextClickOpensTheBlock()
{
    emit panel()->contextView()->anchorClicked(QUrl(u"open:0"_s));
    QCOMPARE(ScriptTree::selectedKey(*m_app->window->findChild<QTreeView *>(u"Scripts"_s)), u"field:a.txt;1"_s);
}

void tst_MemoryController::aScriptNodeTellsItsFigures()
{
    m_app->window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_app->window.get()));
    QTreeView *tree = m_app->window->findChild<QTreeView *>(u"Scripts"_s);
    const QRect script = tree->visualRect(ScriptTree::model(*tree)->indexForKey(u"a.txt"_s));
    QHelpEvent hover(QEvent::ToolTip, script.center(), tree->viewport()->mapToGlobal(script.center()));
    QApplication::sendEvent(tree->viewport(), &hover);
    QVERIFY(QToolTip::text().contains(u"3 blocks, 1 translated (33%)"_s));
}

QTEST_MAIN(tst_MemoryController)
#include "tst_memorycontroller.moc"
