#include "app/fitcontroller.h"
#include "tests/support/appfixture.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTextEdit>
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
    auto *editor = m_app->control<QTextEdit>(u"rtxtTranslated"_s);
    const QString typed = editor->toPlainText();
    m_app->control<QAction>(u"mnuFit"_s)->trigger();
    QVERIFY(editor->toPlainText() != typed);
    QCOMPARE(m_app->control<QLabel>(u"lblMsg"_s)->text(), u"The block now fits its window."_s);
    editor->undo();
    QCOMPARE(editor->toPlainText(), typed);
}

void tst_FitController::projectFitAsksThenSaves()
{
    // The checks window offers the Tools menu's batch.
    m_app->control<QAction>(u"mnuChecks"_s)->trigger();
    auto *button = m_app->window->findChild<QToolButton *>(u"cmdFit"_s);
    QVERIFY(button && button->isVisible());
    QMenu *batch = button->menu();
    QCOMPARE(batch, m_app->control<QMenu>(u"mnuFitAll"_s));
    m_app->messages.answerWith({Messages::Answer::No, Messages::Answer::Yes});
    batch->actions().last()->trigger(); // "In the Project...", answered No
    QCOMPARE(m_app->stored(u"text_data_t"_s, Translated), Long);
    batch->actions().last()->trigger();
    QVERIFY(m_app->messages.texts().first().startsWith(u"1 blocks in the project overflow"_s));
    const QString saved = m_app->stored(u"text_data_t"_s, Translated);
    QVERIFY(saved.contains(u"\r\n<New>\r\n"_s));
    // The editors show what was saved.
    QCOMPARE(m_app->control<QTextEdit>(u"rtxtTranslated"_s)->toPlainText(), QString(saved).replace(u"\r\n"_s, u"\n"_s));
}

QTEST_MAIN(tst_FitController)
#include "tst_fitcontroller.moc"
