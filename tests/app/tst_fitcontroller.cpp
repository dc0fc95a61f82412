#include "app/fitcontroller.h"
#include "editor/widgets/translatededit.h"
#include "tests/support/appfixture.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QToolButton>

// Wiring only: the Tools entries reach the fit, the editor and the store.
class tst_FitController : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_app.reset(); } // before the next fixture takes over the message boxes
    void fitToWindowIsOneUndoableEdit();
    void projectFitAsksThenSaves();
    void undoLastBatchPutsTheBlocksBack_data();
    void undoLastBatchPutsTheBlocksBack();

private:
    std::unique_ptr<AppFixture> m_app;
};

namespace {
// 37 glyphs against the 12 of a width-24 window.
const QString Long = u"Uno dos tres cuatro cinco seis siete.<Close><End of Block>"_s;
} // namespace

void tst_FitController::init()
{
    m_app = std::make_unique<AppFixture>();
    // The tree shows a folder only after one of battling_arena.
    QVERIFY(m_app->start({AppFixture::block(u"battling_arena:a.txt;1"_s, u"Hi.<End of Block>"_s),
                          AppFixture::block(Translated, u"Hello.<End of Block>"_s, Long)}));
    QVERIFY(m_app->open(Translated));
}

void tst_FitController::fitToWindowIsOneUndoableEdit()
{
    auto *editor = m_app->control<TranslatedEdit>(u"rtxtTranslated"_s);
    const QString typed = editor->toPlainText();
    m_app->control<QAction>(u"fitAction"_s)->trigger();
    QVERIFY(editor->toPlainText() != typed);
    QCOMPARE(m_app->control<QLabel>(u"lblMsg"_s)->text(), u"The block now fits its window."_s);
    editor->undo();
    QCOMPARE(editor->toPlainText(), typed);
}

void tst_FitController::projectFitAsksThenSaves()
{
    // The checks window offers the Tools menu's batch.
    m_app->control<QAction>(u"checksAction"_s)->trigger();
    auto *button = m_app->window->findChild<QToolButton *>(u"fitButton"_s);
    QVERIFY(button && button->isVisible());
    QMenu *batch = button->menu();
    QCOMPARE(batch, m_app->control<QMenu>(u"fitAllMenu"_s));
    m_app->messages.answerWith({Messages::Answer::No, Messages::Answer::Yes});
    batch->actions().last()->trigger(); // "In the Project...", answered No
    QCOMPARE(m_app->stored(u"text_data_t"_s, Translated), Long);
    QCOMPARE(m_app->messages.messages.first().buttons, Messages::Buttons::YesNo);
    batch->actions().last()->trigger();
    QVERIFY(m_app->messages.texts().first().startsWith(u"1 blocks in the project overflow"_s));
    QCOMPARE(m_app->messages.texts().last(), u"1 blocks fitted and saved, 0 still overflowing."_s);
    QCOMPARE(QDir(m_app->home.filePath(u"backups"_s)).entryList({u"*_batch-fit.db"_s}).size(), 1);
    const QString saved = m_app->stored(u"text_data_t"_s, Translated);
    QVERIFY(saved.contains(u"\r\n<New>\r\n"_s));
    // The editors show what was saved.
    QCOMPARE(m_app->control<TranslatedEdit>(u"rtxtTranslated"_s)->toPlainText(), QString(saved).replace(u"\r\n"_s, u"\n"_s));
}

void tst_FitController::undoLastBatchPutsTheBlocksBack_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("undone");
    QTest::newRow("answered Yes") << int(Messages::Answer::Yes) << true;
    QTest::newRow("answered No") << int(Messages::Answer::No) << false;
}

void tst_FitController::undoLastBatchPutsTheBlocksBack()
{
    QFETCH(int, answer);
    QFETCH(bool, undone);
    auto *undo = m_app->control<QAction>(u"undoBatchAction"_s);
    QCOMPARE(undo->shortcut(), QKeySequence(u"Ctrl+Shift+U"_s));
    undo->trigger();
    QCOMPARE(m_app->messages.texts().last(), u"There is no batch edit to undo."_s);
    m_app->messages.answerWith({Messages::Answer::Yes, Messages::Answer(answer)});
    m_app->control<QMenu>(u"fitAllMenu"_s)->actions().last()->trigger();
    const QString fitted = m_app->stored(u"text_data_t"_s, Translated);
    QVERIFY(fitted != Long);
    undo->trigger();
    QVERIFY(m_app->messages.texts().at(m_app->messages.texts().size() - (undone ? 2 : 1)).startsWith(
        u"Undo Fit Overflowing Blocks of "_s));
    QCOMPARE(m_app->stored(u"text_data_t"_s, Translated), undone ? Long : fitted);
    if (undone)
        QCOMPARE(m_app->control<TranslatedEdit>(u"rtxtTranslated"_s)->toPlainText(), QString(Long));
}

QTEST_MAIN(tst_FitController)
#include "tst_fitcontroller.moc"
