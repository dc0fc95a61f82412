#include "app/checkcontroller.h"
#include "check/widgets/checkswindow.h"
#include "check/widgets/overflowmarks.h"
#include "editor/widgets/previewwidget.h"
#include "editor/widgets/translatededit.h"
#include "scripts/widgets/exportwindow.h"
#include "tests/support/appfixture.h"

#include <QApplication>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolTip>

namespace {

// Blocks 24 wide (12 glyphs fit): one clean, two drawn 8 glyphs past the
// width with a page tag more than the original.
const QString Clean = u"field:0012.txt;3"_s;
const QString Long = u"field:0012.txt;4"_s;
const QString LongText = u"Hola, esto es largo.<Close><End of Block>"_s;

struct Checking : AppFixture
{
    Checking()
    {
        ok = start({block(Clean, u"Hi.<Close><End of Block>"_s, u"Hola.<Close><End of Block>"_s),
                    block(Long, u"Hi.<End of Block>"_s, LongText),
                    block(u"battling_arena:a.txt;1"_s, u"Hi.<End of Block>"_s, LongText)});
    }
    TranslatedEdit *editor() const { return control<TranslatedEdit>(u"rtxtTranslated"_s); }
    QLabel *count() const { return control<QLabel>(u"checksLabel"_s); }
    bool ok = false;
};

} // namespace

// Wiring only: the rules are the check library's.
class tst_CheckController : public QObject
{
    Q_OBJECT

private slots:
    void typingRechecksTheOpenBlock();
    void underlinesKeepTheLinkMarks();
    void aFindingOpensItsBlock();
    void exportAsksAndShowsTheErrors_data();
    void exportAsksAndShowsTheErrors();
};

void tst_CheckController::typingRechecksTheOpenBlock()
{
    Checking f;
    QVERIFY(f.ok && f.open(Clean));
    QTRY_COMPARE(f.count()->text(), u"0 errors, 0 warnings"_s);

    f.editor()->setPlainTextCrLf(u"Hola, esto es largo.<Wait><Close><End of Block>"_s);
    QTRY_COMPARE(f.count()->text(), u"1 error, 1 warning"_s);
    QTRY_COMPARE(f.editor()->extraSelections().size(), 2); // the glyphs past the width, the extra <Wait>
    auto *marks = f.control<PreviewWidget>(u"picPreview"_s)->findChild<OverflowMarks *>();
    QVERIFY(marks && !marks->marks().isEmpty());

    // Hovering the overflowing glyphs tells why.
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    const QRect glyph = f.editor()->cursorRect(f.editor()->rangeCursor(15, 1));
    QHelpEvent hover(QEvent::ToolTip, glyph.center(), f.editor()->viewport()->mapToGlobal(glyph.center()));
    QCoreApplication::sendEvent(f.editor()->viewport(), &hover);
    QVERIFY2(QToolTip::text().startsWith(u"Page 1, line 1: 8 glyphs past"_s), qPrintable(QToolTip::text()));

    f.editor()->setPlainTextCrLf(QString());
    QTRY_COMPARE(f.count()->text(), QString());
    QVERIFY(marks->marks().isEmpty());
    QVERIFY(f.editor()->extraSelections().isEmpty());
}

// The underlines come after a pause in the typing, beside the word links' marks.
void tst_CheckController::underlinesKeepTheLinkMarks()
{
    AppFixture f;
    QVERIFY(f.start({AppFixture::block(Long, u"Hi.<End of Block>"_s, u"Hola, esto es largo.<Wait><End of Block>"_s),
                     AppFixture::block(u"battling_arena:a.txt;1"_s, u"Hi.<End of Block>"_s),
                     u"INSERT INTO suggestion (word, suggest1) VALUES ('largo', 'long')"_s}));
    QVERIFY(f.open(Long));
    auto *editor = f.control<TranslatedEdit>(u"rtxtTranslated"_s);
    auto count = [editor](bool linkMarks) {
        const QList<QTextEdit::ExtraSelection> all = editor->extraSelections();
        return std::count_if(all.cbegin(), all.cend(), [linkMarks](const QTextEdit::ExtraSelection &s) {
            return (s.format.fontWeight() == QFont::Bold) == linkMarks;
        });
    };
    QTRY_COMPARE(count(false), 2); // the glyphs past the width, the extra <Wait>
    QCOMPARE(count(true), 1);
}

void tst_CheckController::aFindingOpensItsBlock()
{
    Checking f;
    QVERIFY(f.ok);
    auto &checks = f.feature<CheckController>();
    QSignalSpy checked(&checks, &CheckController::projectChecked);
    f.control<QAction>(u"checksAction"_s)->trigger();
    QVERIFY(checked.wait(10000));
    ChecksWindow *window = checks.checksWindow();
    window->setRuleFilter(Rule::Overflow);
    window->setSeverityFilter(Severity::Error);
    QCOMPARE(window->shown().rowCount(), 2); // field and arena
    window->openRow(1);
    QCOMPARE(ScriptTree::selectedKey(*f.control<QTreeView>(u"Scripts"_s)), Long);
    QCOMPARE(f.editor()->textCursor().selectedText(), u"s largo."_s);
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
    Checking f;
    QVERIFY(f.ok);
    f.messages.answerWith({Messages::Answer(answer)});
    QTimer::singleShot(0, this, [] {
        auto *exporter = qobject_cast<ExportWindow *>(QApplication::activeModalWidget());
        if (!exporter)
            return;
        exporter->selectAll();
        exporter->exportSelected();
        exporter->reject();
    });
    f.control<QAction>(u"mnuExpTra"_s)->trigger();

    QVERIFY(!f.messages.messages.isEmpty());
    QVERIFY2(f.messages.messages.first().text.startsWith(u"The blocks to export hold 2 errors (overflow 2) in 2 scripts"_s),
             qPrintable(f.messages.messages.first().text));
    QCOMPARE(QFile::exists(f.home.filePath(u"Translated/field/0012.txt"_s)), written);
    auto &checks = f.feature<CheckController>();
    if (checksShown)
        QTRY_VERIFY(checks.checksWindow() && checks.checksWindow()->isVisible());
    else
        QVERIFY(!checks.checksWindow());
}

QTEST_MAIN(tst_CheckController)
#include "tst_checkcontroller.moc"
