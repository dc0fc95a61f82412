#include "app/previewcontroller.h"
#include "editor/widgets/previewwidget.h"
#include "editor/widgets/translatededit.h"
#include "tests/support/appfixture.h"

#include <QAction>
#include <QSignalSpy>
#include <QTest>

namespace {

struct Editing : AppFixture
{
    Editing() { ok = startWithBlocks(); }
    TranslatedEdit *editor() const { return control<TranslatedEdit>(u"rtxtTranslated"_s); }
    QImage shown() const { return *control<PreviewWidget>(u"picPreview"_s)->surface(); }
    bool ok = false;
};

} // namespace

class tst_EditorController : public QObject
{
    Q_OBJECT

private slots:
    void insertTags_data();
    void insertTags();
    void guideToggles();
    void keysInTheEditor_data();
    void keysInTheEditor();
    void editsAreDrawnOnceAfterTheBurst();
};

void tst_EditorController::insertTags_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("expected");
    QTest::newRow("New") << u"toolButton5"_s << true << u"ab<New>\r\ncd"_s;
    QTest::newRow("Wait") << u"toolButton6"_s << true << u"ab<Wait>\r\ncd"_s;
    QTest::newRow("Delay") << u"toolButton7"_s << true << u"ab<Delay >cd"_s;
    QTest::newRow("Opcode") << u"toolButton8"_s << true << u"ab<Opcode >cd"_s;
    QTest::newRow("Close") << u"toolButton9"_s << true << u"ab<Close><End of Block>cd"_s;
    QTest::newRow("Space") << u"toolButton10"_s << true << u"ab<Space >cd"_s;
    QTest::newRow("no block open") << u"mnuNew"_s << false << u"abcd"_s;
}

void tst_EditorController::insertTags()
{
    QFETCH(QString, control);
    QFETCH(bool, enabled);
    QFETCH(QString, expected);
    Editing f;
    QVERIFY(f.ok && f.open(Untranslated));
    f.editor()->setPlainTextCrLf(u"abcd"_s);
    f.editor()->setCaretPosition(2);
    f.editor()->setEnabled(enabled);
    f.control<QAction>(control)->trigger();
    QCOMPARE(f.editor()->plainTextCrLf(), expected);
}

void tst_EditorController::guideToggles()
{
    Editing f;
    QVERIFY(f.ok);
    f.control<QAction>(u"mnu28"_s)->trigger(); // as F7 does
    QVERIFY(f.control(u"li28"_s)->isHidden() && !f.control<QAction>(u"mnu28"_s)->isChecked());
    QVERIFY(!f.control(u"li32"_s)->isHidden());
    f.control<QAction>(u"mnu32"_s)->trigger();
    f.control<QAction>(u"mnu28"_s)->trigger();
    QVERIFY(f.control(u"li32"_s)->isHidden() && !f.control(u"li28"_s)->isHidden());
}

void tst_EditorController::keysInTheEditor_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("keyCode");
    QTest::addColumn<bool>("alt");
    QTest::addColumn<QString>("stored"); // new_width x new_height afterwards
    QTest::addColumn<QString>("drawn");  // the size drawn at; empty: nothing drawn
    QTest::newRow("field, Alt+Right") << Untranslated << u"Hi"_s << int(Qt::Key_Right) << true << u"26x2"_s
                                      << u"26x2"_s;
    QTest::newRow("battle_script, Alt+Right") << Battle << u"Hi"_s << int(Qt::Key_Right) << true << u"26x3"_s
                                              << QString();
    QTest::newRow("field, a key over no text") << Untranslated << QString() << int(Qt::Key_Left) << false << u"0x0"_s
                                               << u"24x2"_s;
    QTest::newRow("battle_script, a key") << Battle << QString() << int(Qt::Key_Left) << false << u"26x3"_s
                                          << QString();
}

void tst_EditorController::keysInTheEditor()
{
    QFETCH(QString, key);
    QFETCH(QString, text);
    QFETCH(int, keyCode);
    QFETCH(bool, alt);
    QFETCH(QString, stored);
    QFETCH(QString, drawn);
    Editing f;
    QVERIFY(f.ok && f.open(key));
    auto &preview = f.feature<PreviewController>();
    f.editor()->setPlainTextCrLf(text);
    preview.clearPreview();
    QTest::keyClick(f.editor(), Qt::Key(keyCode), alt ? Qt::AltModifier : Qt::NoModifier);
    preview.flush();
    QCOMPARE(f.shown(), f.drawn(text, drawn));
    QCOMPARE(f.stored(u"new_width || 'x' || new_height"_s, key), stored);
}

void tst_EditorController::editsAreDrawnOnceAfterTheBurst()
{
    Editing f;
    QVERIFY(f.ok && f.open(Untranslated));
    auto &preview = f.feature<PreviewController>();
    QSignalSpy redrawn(&preview, &PreviewController::redrawn);
    preview.flush();
    const int before = preview.renderCount();
    QTest::keyClicks(f.editor(), u"Tom's"_s); // no turn of the event loop in between
    QCOMPARE(preview.renderCount(), before);
    QVERIFY(redrawn.wait());
    QCOMPARE(preview.renderCount(), before + 1);
    QCOMPARE(f.shown(), f.drawn(u"Tom`s"_s, u"24x2"_s));

    QVERIFY(f.open(Battle)); // no key draws here: only the text's changes do
    f.editor()->setPlainTextCrLf(u"Hi"_s);
    QVERIFY(redrawn.wait());
    QCOMPARE(f.shown(), f.drawn(u"Hi"_s, u"26x3"_s));
    f.editor()->setPlainTextCrLf(QString());
    QVERIFY(redrawn.wait());
    QCOMPARE(f.shown(), f.drawn(QString(), QString()));
}

QTEST_MAIN(tst_EditorController)
#include "tst_editorcontroller.moc"
