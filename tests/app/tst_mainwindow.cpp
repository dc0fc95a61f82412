#include "app/aboutdialog.h"
#include "app/mainwindow.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/testhome.h"

#include <QAction>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QTimer>
#include <QWidget>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(Command)

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void withoutStoreTheProgramEnds();
    void withoutFontThePreviewIsHidden();
    void aBrokenStoreShowsTheDebugMessage();
    void theTreeWaitsForBattlingArena_data();
    void theTreeWaitsForBattlingArena();
    void editorsStartDisabled();
    void menuEntries_data();
    void menuEntries();
    void toolbarDispatchesByPosition_data();
    void toolbarDispatchesByPosition();
    void toolbarWorksWhileTheMenuEntryIsGreyed();
    void theCloseBoxDoesNothing();
    void exitRunsHooksAndClosesTheStore();
    void aboutScrollerTurnsAround();
};

void tst_MainWindow::withoutStoreTheProgramEnds()
{
    TestHome home(TestHome::FontOnly);
    MessageRecorder recorder;
    MainWindow window(home.path());
    QVERIFY(!window.load());
    QCOMPARE(recorder.texts(),
             QStringList(u"Required file 'tallowpen.db' is not in the .exe path folder, program will be closed."_s));
    QVERIFY(!window.db().isOpen());
    QVERIFY(!QFile::exists(home.storePath()));
}

void tst_MainWindow::withoutFontThePreviewIsHidden()
{
    TestHome home(TestHome::StoreOnly);
    MessageRecorder recorder;
    MainWindow window(home.path());
    QVERIFY(window.load());
    QCOMPARE(recorder.texts(),
             QStringList(u"Required file 'font.bmp' is not in the 'Font' folder, preview will be disabled."_s));
    QVERIFY(window.controls().picPreview->isHidden());
    QVERIFY(!window.state().previewEnabled);
    QVERIFY(window.db().isOpen());
}

void tst_MainWindow::aBrokenStoreShowsTheDebugMessage()
{
    TestHome home(TestHome::FontOnly);
    QFile file(home.storePath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(8192, '\x5a'));
    file.close();
    MessageRecorder recorder;
    MainWindow window(home.path());
    QVERIFY(window.load()); // the window stays, as far as it was set up
    QCOMPARE(recorder.messages.size(), 1);
    QVERIFY(recorder.texts().first().startsWith(u"Debug: Please report this error to "_s));
    QVERIFY(recorder.texts().first().contains(u"26"_s)); // SQLITE_NOTADB, then its description
}

void tst_MainWindow::theTreeWaitsForBattlingArena_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<bool>("ready");
    QTest::newRow("battling_arena") << u"battling_arena"_s << true;
    QTest::newRow("only battle_script") << u"battle_script"_s << false;
    QTest::newRow("only field") << u"field"_s << false;
}

void tst_MainWindow::theTreeWaitsForBattlingArena()
{
    QFETCH(QString, table);
    QFETCH(bool, ready);
    TestHome home;
    QVERIFY(home.execute(u"INSERT INTO %1 (file_name,dialogue_id) VALUES ('a.txt', 1);"_s.arg(table)));
    MessageRecorder recorder;
    MainWindow window(home.path());
    QSignalSpy spy(&window, &MainWindow::storeReady);
    QVERIFY(window.load());
    QCOMPARE(spy.size(), ready ? 1 : 0);
    QVERIFY(recorder.messages.isEmpty());
}

void tst_MainWindow::editorsStartDisabled()
{
    TestHome home;
    MessageRecorder recorder;
    MainWindow window(home.path());
    QVERIFY(window.load());
    const auto &c = window.controls();
    QVERIFY(!c.rtxtOriginal->isEnabled());
    QVERIFY(!c.rtxtTranslated->isEnabled());
    QVERIFY(!c.txtComentario->isEnabled());
    QVERIFY(!c.chkRevised->isEnabled());
    QVERIFY(!c.mnuGuardar->isEnabled());
    QVERIFY(c.mnuAutoGuar->isChecked());
    QVERIFY(c.saveTime->isActive());
    QCOMPARE(c.saveTime->interval(), 1000);
    QVERIFY(!c.shaDelay->isActive());
    QCOMPARE(c.shaDelay->interval(), 500);
    QVERIFY(window.state().previewEnabled);
}

void tst_MainWindow::menuEntries_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<QString>("menu");
    const QList<std::array<QString, 4>> entries = {
        {u"mnuGuardar"_s, u"Save"_s, u"Ctrl+G"_s, u"mnuTradu"_s},
        {u"mnuAutoGuar"_s, u"Automatic Save"_s, QString(), u"mnuTradu"_s},
        {u"mnuSalir"_s, u"Exit"_s, u"Ctrl+Z"_s, u"mnuTradu"_s},
        {u"mnuEliminar"_s, u"Clean"_s, u"Ctrl+L"_s, u"mnuEd"_s},
        {u"mnuClonar"_s, u"Clone"_s, u"Ctrl+D"_s, u"mnuEd"_s},
        {u"mnuRevisar"_s, u"Check Spell"_s, u"Ctrl+O"_s, u"mnuEd"_s},
        {u"mnuSearch"_s, u"Search"_s, u"Ctrl+F"_s, u"mnuEd"_s},
        {u"mnuView"_s, u"View Translated Script"_s, u"F11"_s, u"mnuViewMain"_s},
        {u"mnuLinks"_s, u"View links"_s, u"Ctrl+P"_s, u"mnuViewMain"_s},
        {u"mnu28"_s, u"28 chrs line"_s, u"F7"_s, u"mnuLines"_s},
        {u"mnu32"_s, u"32 chrs line"_s, u"F8"_s, u"mnuLines"_s},
        {u"mnuImpOri"_s, u"Original"_s, QString(), u"mnuImportar"_s},
        {u"mnuImpTra"_s, u"Translated"_s, QString(), u"mnuImportar"_s},
        {u"mnuVinculos"_s, u"Import Links File"_s, QString(), u"mnuTools"_s},
        {u"mnuExpTra"_s, u"Translated"_s, u"F9"_s, u"mnuExportar"_s},
        {u"mnuNew"_s, u"<New>"_s, u"F1"_s, u"mnuInsertar"_s},
        {u"mnuWait"_s, u"<Wait>"_s, u"F2"_s, u"mnuInsertar"_s},
        {u"mnuDelay"_s, u"<Delay X>"_s, u"F3"_s, u"mnuInsertar"_s},
        {u"mnuSpace"_s, u"<Space X>"_s, u"F4"_s, u"mnuInsertar"_s},
        {u"mnuOpcode"_s, u"<Opcode X X>"_s, u"F5"_s, u"mnuInsertar"_s},
        {u"mnuClose"_s, u"<Close><End of Block>"_s, u"F6"_s, u"mnuInsertar"_s},
        {u"mnuAcerca"_s, u"About..."_s, u"F12"_s, u"mnuAyuda"_s},
        {u"mnuModificar"_s, u"Modify link"_s, QString(), u"mnuDropDown"_s},
        {u"mnuErase"_s, u"Erase link"_s, QString(), u"mnuDropDown"_s},
        {u"mnuAgregar"_s, u"Add"_s, QString(), u"mnuMante"_s},
    };
    for (const auto &e : entries)
        QTest::newRow(qPrintable(e[0])) << e[0] << e[1] << e[2] << e[3];
}

void tst_MainWindow::menuEntries()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    QFETCH(QString, menu);
    TestHome home;
    MainWindow window(home.path());
    auto *action = window.findChild<QAction *>(name);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut().toString(), shortcut);
    auto *owner = window.findChild<QMenu *>(menu);
    QVERIFY(owner);
    QVERIFY(owner->actions().contains(action));
}

void tst_MainWindow::toolbarDispatchesByPosition_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("tooltip");
    QTest::addColumn<int>("command"); // -1: nothing
    QTest::newRow("1 save") << 1 << u"Save"_s << int(Command::Save);
    QTest::newRow("2 search") << 2 << u"Seach for text"_s << int(Command::Search);
    QTest::newRow("3 spell") << 3 << u"Spell Check"_s << int(Command::CheckSpell);
    QTest::newRow("4 clone") << 4 << u"Clone"_s << int(Command::Clone);
    QTest::newRow("5 new") << 5 << u"Insert<New>"_s << int(Command::InsertNew);
    QTest::newRow("6 wait") << 6 << u"Insert <Wait>"_s << int(Command::InsertWait);
    QTest::newRow("7 delay") << 7 << u"Insert <Delay X>"_s << int(Command::InsertDelay);
    QTest::newRow("8 opcode") << 8 << u"Insert <Opcode X X>"_s << int(Command::InsertOpcode);
    QTest::newRow("9 close") << 9 << u"Insert <Close>"_s << int(Command::InsertClose);
    QTest::newRow("10 space") << 10 << u"Insert <Space X>"_s << int(Command::InsertSpace);
    QTest::newRow("11 view") << 11 << u"View Translated Script File"_s << int(Command::ViewScript);
    QTest::newRow("12 clean") << 12 << u"Clean"_s << int(Command::Clean);
    QTest::newRow("0 outside") << 0 << QString() << -1;
    QTest::newRow("14 outside") << 14 << QString() << -1;
}

void tst_MainWindow::toolbarDispatchesByPosition()
{
    QFETCH(int, position);
    QFETCH(QString, tooltip);
    QFETCH(int, command);
    TestHome home;
    MainWindow window(home.path());
    // Only the dispatch is under test: a command's own window (the modal
    // search window, say) would wait here for a person.
    if (command >= 0)
        window.setCommand(Command(command), [] {});
    QSignalSpy spy(&window, &MainWindow::commandRun);
    window.runToolButton(position);
    if (command < 0) {
        QCOMPARE(spy.size(), 0);
        return;
    }
    QCOMPARE(spy.size(), 1);
    QCOMPARE(int(spy.first().first().value<Command>()), command);
    const QList<QAction *> buttons = window.controls().tool->actions();
    QCOMPARE(buttons.size(), 13);
    QCOMPARE(buttons.at(position - 1)->toolTip(), tooltip);
}

void tst_MainWindow::toolbarWorksWhileTheMenuEntryIsGreyed()
{
    TestHome home;
    MessageRecorder recorder;
    MainWindow window(home.path());
    QVERIFY(window.load());
    int saves = 0;
    window.setCommand(Command::Save, [&saves] { ++saves; });
    QVERIFY(!window.controls().mnuGuardar->isEnabled());
    window.controls().mnuGuardar->trigger();
    QCOMPARE(saves, 0);
    window.controls().tool->actions().first()->trigger();
    QCOMPARE(saves, 1);
}

void tst_MainWindow::theCloseBoxDoesNothing()
{
    TestHome home;
    MessageRecorder recorder;
    MainWindow window(home.path());
    QVERIFY(window.load());
    window.show();
    QVERIFY(!window.close());
    QVERIFY(window.isVisible());
    QVERIFY(window.db().isOpen());
    QVERIFY(!(window.windowFlags() & Qt::WindowCloseButtonHint));
}

void tst_MainWindow::exitRunsHooksAndClosesTheStore()
{
    TestHome home;
    MessageRecorder recorder;
    MainWindow window(home.path());
    QVERIFY(window.load());
    window.show();
    bool storeOpenInHook = false;
    window.addExitHook([&] { storeOpenInHook = window.db().isOpen(); });
    window.runToolButton(13);
    QVERIFY(storeOpenInHook);
    QVERIFY(window.hasExited());
    QVERIFY(!window.db().isOpen());
    QVERIFY(!window.isVisible());
}

void tst_MainWindow::aboutScrollerTurnsAround()
{
    AboutDialog about;
    QCOMPARE(about.windowTitle(), u"About Tallowpen"_s);
    const int start = about.scrollTop();
    about.scrollStep();
    QCOMPARE(about.scrollTop(), start - AboutDialog::StepTwips);
    int ticks = 0;
    while (about.scrollTop() != -about.scrollInnerHeight() && ticks++ < 100000)
        about.scrollStep();
    QCOMPARE(about.scrollTop(), -about.scrollInnerHeight());
    about.scrollStep();
    QCOMPARE(about.scrollTop(), AboutDialog::ReentryTwips);
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
