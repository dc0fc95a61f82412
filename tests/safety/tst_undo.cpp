#include "app/linkscontroller.h"
#include "editor/widgets/translatededit.h"
#include "spell/widgets/texteditspelleditor.h"
#include "tests/support/appfixture.h"

#include <QAction>
#include <QTest>

// Every change the translator makes to the translation is undone by Ctrl+Z
// in the editor and made again by Ctrl+Y, whatever made it; the link marks
// that follow each key make no step of their own and take none away.
class tst_Undo : public QObject
{
    Q_OBJECT

private slots:
    void undoRedo_data();
    void undoRedo();
    void spellingCorrection();
};

void tst_Undo::undoRedo_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("changed");
    QTest::newRow("typing") << u"type"_s << u"Es tarde.<End of Block>ab"_s;
    QTest::newRow("link suggestion") << u"suggestion"_s << u"Es late.<End of Block>"_s;
    QTest::newRow("Clone") << u"clone"_s << u"It's late.<End of Block>"_s;
    QTest::newRow("Clean") << u"clean"_s << QString();
}

void tst_Undo::undoRedo()
{
    QFETCH(QString, change);
    QFETCH(QString, changed);
    AppFixture app;
    QVERIFY(app.startWithBlocks());
    QVERIFY(app.open(Translated));
    app.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(app.window.get()));
    auto *editor = app.control<TranslatedEdit>(u"rtxtTranslated"_s);
    const QString loaded = editor->plainTextCrLf();
    editor->setFocus();
    editor->moveCursor(QTextCursor::End);
    if (change == u"type") {
        QTest::keyClicks(editor, u"ab"_s);
    } else if (change == u"suggestion") {
        QTextCursor at(editor->document());
        at.setPosition(4);
        app.feature<LinksController>().showLinkUnderMouse(editor->cursorRect(at).center());
        app.control<QAction>(u"mnuSuggest_0"_s)->trigger();
    } else {
        app.window->runCommand(change == u"clone" ? Command::Clone : Command::Clean);
    }
    QCOMPARE(editor->plainTextCrLf(), changed);

    const int keys = change == u"type" ? 2 : 1;
    for (int i = 0; i < keys; ++i)
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editor->plainTextCrLf(), loaded);
    for (int i = 0; i < keys; ++i)
        QTest::keyClick(editor, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(editor->plainTextCrLf(), changed);
    QVERIFY(!app.window->hasExited());
}

void tst_Undo::spellingCorrection()
{
    QPlainTextEdit editor;
    editor.setPlainText(u"hoal mundo"_s);
    TextEditSpellEditor(&editor).setText(u"hola mundo"_s);
    editor.undo();
    QCOMPARE(editor.toPlainText(), u"hoal mundo"_s);
}

QTEST_MAIN(tst_Undo)
#include "tst_undo.moc"
