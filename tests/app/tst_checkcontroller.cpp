#include "app/blockeditcontroller.h"
#include "app/checkcontroller.h"
#include "app/mainwindow.h"
#include "check/widgets/checkswindow.h"
#include "check/widgets/overflowmarks.h"
#include "editor/widgets/translatededit.h"
#include "scripts/widgets/exportwindow.h"
#include "store/widgets/scripttree.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/storedblock.h"
#include "tests/support/testhome.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>

using namespace Qt::StringLiterals;

// Wiring only: the rules are the check library's.
class tst_CheckController : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void typingRechecksTheOpenBlock();
    void aFindingOpensItsBlock();
    void exportAsksAndShowsTheErrors_data();
    void exportAsksAndShowsTheErrors();

private:
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<MainWindow> m_window;
    TranslatedEdit *m_editor = nullptr;
    CheckController *m_checks = nullptr;
};

void tst_CheckController::init()
{
    m_home = std::make_unique<TestHome>();
    StoredBlock b; // field 0012.txt 3, width 24: 12 glyphs fit
    b.translated = 1;
    b.textT = u"Hola.<End of Block>"_s;
    QVERIFY(insertBlock(*m_home, b));
    b.id = 4;
    b.textT = u"Hola, esto es largo.<Close><End of Block>"_s; // past the width
    QVERIFY(insertBlock(*m_home, b));
    b.table = u"battling_arena"_s; // the tree is built only when the arena holds blocks
    QVERIFY(insertBlock(*m_home, b));

    m_messages = std::make_unique<MessageRecorder>();
    m_window = std::make_unique<MainWindow>(m_home->path());
    QVERIFY(m_window->load());
    m_window->controls().saveTime->stop();
    ScriptTree::buildTree(*m_window->controls().Scripts, m_window->db());
    m_editor = qobject_cast<TranslatedEdit *>(m_window->controls().rtxtTranslated);
    m_checks = m_window->findChild<CheckController *>();
    QVERIFY(m_editor && m_checks);
}

void tst_CheckController::cleanup()
{
    m_window.reset();
    m_messages.reset();
    m_home.reset();
}

void tst_CheckController::typingRechecksTheOpenBlock()
{
    QVERIFY(BlockEditController::of(*m_window)->selectAndLoad(u"field:0012.txt;3"_s));
    QLabel *count = m_window->controls().lblChecks;
    QTRY_COMPARE(count->text(), u"0 errors, 0 warnings"_s);

    m_editor->setPlainTextCrLf(u"Hola, esto es largo.<Close><End of Block>"_s);
    QTRY_COMPARE(count->text(), u"1 error, 1 warning"_s);
    QCOMPARE(m_editor->extraSelections().size(), 2); // the glyphs past the width, the extra <Close>
    auto *marks = m_window->controls().picPreview->findChild<OverflowMarks *>();
    QVERIFY(marks && !marks->marks().isEmpty());

    // Hovering the overflowing glyphs tells why.
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    const QRect glyph = m_editor->cursorRect(m_editor->rangeCursor(15, 1));
    QHelpEvent hover(QEvent::ToolTip, glyph.center(), m_editor->viewport()->mapToGlobal(glyph.center()));
    QCoreApplication::sendEvent(m_editor->viewport(), &hover);
    QVERIFY2(QToolTip::text().startsWith(u"Page 1, line 1: 8 glyphs past"_s), qPrintable(QToolTip::text()));

    m_editor->setPlainTextCrLf(QString());
    QTRY_COMPARE(count->text(), QString());
    QVERIFY(marks->marks().isEmpty());
}

void tst_CheckController::aFindingOpensItsBlock()
{
    QSignalSpy checked(m_checks, &CheckController::projectChecked);
    m_checks->showChecksWindow();
    QVERIFY(checked.wait(10000));
    ChecksWindow *window = m_checks->checksWindow();
    window->setRuleFilter(Rule::Overflow);
    window->setSeverityFilter(Severity::Error);
    QCOMPARE(window->shown().rowCount(), 2); // field and arena
    window->openRow(1);
    QCOMPARE(ScriptTree::selectedKey(*m_window->controls().Scripts), u"field:0012.txt;4"_s);
    QCOMPARE(m_editor->textCursor().selectedText(), u"s largo."_s);
}

void tst_CheckController::exportAsksAndShowsTheErrors_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("written");
    QTest::addColumn<bool>("checksShown");
    QTest::newRow("export anyway") << int(Messages::Answer::Yes) << true << false;
    QTest::newRow("show the errors") << int(Messages::Answer::No) << false << true;
    QTest::newRow("cancel") << int(Messages::Answer::Cancel) << false << false;
}

void tst_CheckController::exportAsksAndShowsTheErrors()
{
    QFETCH(int, answer);
    QFETCH(bool, written);
    QFETCH(bool, checksShown);
    m_messages->answerWith({Messages::Answer(answer)});
    QTimer::singleShot(0, this, [] {
        auto *exporter = qobject_cast<ExportWindow *>(QApplication::activeModalWidget());
        if (!exporter)
            return;
        exporter->selectAll();
        exporter->exportSelected();
        exporter->reject();
    });
    m_window->runCommand(Command::ExportTranslated);

    QVERIFY(!m_messages->messages.isEmpty());
    QVERIFY(m_messages->messages.first().text.startsWith(u"The blocks to export hold 2 errors (overflow 2) in 2 scripts"_s));
    QCOMPARE(QFile::exists(m_home->filePath(u"Translated/field/0012.txt"_s)), written);
    if (checksShown)
        QTRY_VERIFY(m_checks->checksWindow() && m_checks->checksWindow()->isVisible());
    else
        QVERIFY(!m_checks->checksWindow());
}

QTEST_MAIN(tst_CheckController)
#include "tst_checkcontroller.moc"
