#include "app/aboutdialog.h"
#include "app/windowsettings.h"
#include "editor/widgets/previewwidget.h"
#include "editor/widgets/translatededit.h"
#include "search/widgets/searchwindow.h"
#include "tests/support/appfixture.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QTextDocument>
#include <QtMath>
#include <QTimer>

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startUp_data();
    void startUp();
    void aboutScrollerTurnsAround();
    void everyShortcutDoesOneThing();
    void menusReadInTheirOrder_data();
    void menusReadInTheirOrder();
    void theEditorsTakeTheRoom_data();
    void theEditorsTakeTheRoom();
    void theWindowFitsASmallScreen_data();
    void theWindowFitsASmallScreen();
    void theFirstStartFitsTheScreen_data();
    void theFirstStartFitsTheScreen();
    void tabMovesBetweenTheFields();
    void aSearchHitOpensItsBlock();
    void theViewNeedsAnOpenBlock();
    void theSpellCheckReadsTheTranslation_data();
    void theSpellCheckReadsTheTranslation();
    // Last: Exit ends the application's event loop.
    void onlyExitEndsTheProgram();

private:
    // Triggers the control; `answer` gets the modal window it opened, if any.
    static void answered(QAction *control, const std::function<void(QWidget *)> &answer)
    {
        QObject guard; // no window opened: the answer dies with this scope
        QTimer::singleShot(0, &guard, [&answer] { answer(QApplication::activeModalWidget()); });
        control->trigger();
    }
};

void tst_MainWindow::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true); // what the window remembers stays out of the user's settings
    setApplicationIdentity();
    QCOMPARE(QSettings().organizationName(), u"Tallowpen"_s);
}

void tst_MainWindow::startUp_data()
{
    QTest::addColumn<int>("content"); // -1: a store file that is no database
    QTest::addColumn<QStringList>("statements");
    QTest::addColumn<QString>("message"); // how the last message starts, if any
    QTest::addColumn<int>("messages");
    QTest::addColumn<QString>("status");
    const QString arena = AppFixture::block(u"battling_arena:a.txt;1"_s, u"Go!"_s, u"¡Ya!"_s);
    const QString field = AppFixture::block(u"field:a.txt;1"_s, u"Hi"_s);
    QTest::newRow("no store") << int(TestHome::FontOnly) << QStringList()
                              << u"Required file 'tallowpen.db' is not in the .exe path folder"_s << 1 << QString();
    QTest::newRow("no database") << -1 << QStringList()
                                 << u"Debug: Please report this error to the Tallowpen team (tallowpen@users.invalid): the store could not be "
                                    "opened, error 26. "_s
                                 << 1 << QString(); // the damaged store's own message comes when its check ends
    QTest::newRow("no font") << int(TestHome::StoreOnly) << QStringList()
                             << u"Required file 'font.bmp' is not in the 'Font' folder"_s << 1 << QString();
    QTest::newRow("blocks only in field") << int(TestHome::StoreAndFont) << QStringList{field} << QString() << 0 << QString();
    QTest::newRow("a name in two tables")
        << int(TestHome::StoreAndFont) << QStringList{arena, field} << QString() << 0
        << u">Translation status: 50% translated\nScript tree: Script name a.txt is met twice; the one in field is "
           "shown as \"a.txt [duplicate]\"."_s;
}

void tst_MainWindow::startUp()
{
    QFETCH(int, content);
    QFETCH(QStringList, statements);
    QFETCH(QString, message);
    QFETCH(int, messages);
    QFETCH(QString, status);
    AppFixture f(content < 0 ? TestHome::FontOnly : TestHome::Content(content));
    QVERIFY(content >= 0 || f.home.write(u"tallowpen.db"_s, QByteArray(8192, 'Z')));
    QCOMPARE(f.start(statements), content != TestHome::FontOnly);
    QCOMPARE(f.messages.texts().size(), messages);
    QVERIFY(message.isEmpty() || f.messages.texts().last().startsWith(message));
    QCOMPARE(f.control(u"picPreview"_s)->isHidden(), content == TestHome::StoreOnly);
    if (content != TestHome::FontOnly) {
        for (const char *name : {"rtxtOriginal", "rtxtTranslated", "txtComentario", "chkRevised"})
            QVERIFY2(!f.control(QLatin1StringView(name))->isEnabled(), name);
    }
    if (content != TestHome::StoreAndFont)
        return;
    QCOMPARE(f.control<QLabel>(u"lblMsg"_s)->text(), status);
    QCOMPARE(ScriptTree::selectedKey(*f.control<QTreeView>(u"Scripts"_s)), status.isEmpty() ? QString() : u"Root"_s);
    QVERIFY(!f.control<QAction>(u"mnuGuardar"_s)->isEnabled());
    QVERIFY(f.control<QTimer>(u"saveTime"_s)->isActive());
    // Alt+T is Translation, so Tools takes its second letter.
    QCOMPARE(f.control<QMenu>(u"mnuTools"_s)->title(), u"T&ools"_s);
}

// The figures are the scroller's own, in twips: 5 a tick, re-entry at 2655.
void tst_MainWindow::aboutScrollerTurnsAround()
{
    AboutDialog about{QString()};
    QCOMPARE(about.scrollTop(), 2655);
    about.scrollStep();
    QCOMPARE(about.scrollTop(), 2650);
    for (int ticks = 0; about.scrollTop() != -about.scrollInnerHeight() && ticks < 100000; ++ticks)
        about.scrollStep();
    about.scrollStep();
    QCOMPARE(about.scrollTop(), 2655);
}

// Each feature adds its own entries: two of them on one key, and the key does neither.
void tst_MainWindow::everyShortcutDoesOneThing()
{
    AppFixture f;
    QVERIFY(f.start());
    QHash<QKeySequence, QString> owners;
    for (const QAction *action : f.window->findChildren<QAction *>()) {
        for (const QKeySequence &key : action->shortcuts()) {
            const QString owner = owners.value(key);
            QVERIFY2(owner.isEmpty() || owner == action->text(),
                     qPrintable(key.toString() + u": "_s + owner + u" and "_s + action->text()));
            owners.insert(key, action->text());
        }
    }
}

// One line per menu: entries with their keys, separators as "-", a
// submenu's entries in brackets.
static QString menuLine(const QMenu &menu)
{
    QStringList entries;
    for (const QAction *action : menu.actions()) {
        QString entry = action->isSeparator() ? u"-"_s : action->text();
        if (!action->shortcut().isEmpty())
            entry += u' ' + action->shortcut().toString();
        if (action->menu())
            entry += u" ["_s + menuLine(*action->menu()) + u']';
        entries << entry;
    }
    return entries.join(u" / "_s);
}

void tst_MainWindow::menusReadInTheirOrder_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("entries");
    QTest::newRow("Translation") << u"&Translation"_s
                                 << u"&Save Ctrl+G / &Automatic Save Ctrl+Shift+G / &Exit Ctrl+Z"_s;
    QTest::newRow("Edit") << u"&Edit"_s
                          << u"&Clean Ctrl+L / C&lone Ctrl+D / Check &Spell Ctrl+O / S&earch Ctrl+F / - / "
                             "&Undo Last Batch... Ctrl+Shift+U / &Replace... Ctrl+H / - / "
                             "&Next Untranslated Ctrl+Alt+U / &Previous Untranslated Ctrl+Alt+Shift+U / "
                             "Ne&xt Unrevised Ctrl+Alt+R / Pre&vious Unrevised Ctrl+Alt+Shift+R / "
                             "Next &With Findings Ctrl+Alt+F / Previous With &Findings Ctrl+Alt+Shift+F / "
                             "Nex&t With Comment Ctrl+Alt+C / Prev&ious With Comment Ctrl+Alt+Shift+C"_s;
    QTest::newRow("View") << u"&View"_s
                          << u"&View Translated Script F11 / View &links Ctrl+P / "
                             "&Show Control Lines [&28 chrs line F7 / &32 chrs line F8] / "
                             "&Preview Zoom [&1× / &2× / &3× / &4× / - / &Zoom In Ctrl++ / Zoom &Out Ctrl+-]"_s;
    QTest::newRow("Tools") << u"T&ools"_s
                           << u"&Import Script [&Original Ctrl+Shift+O / &Translated Ctrl+Shift+T] / "
                              "Import &Links File Ctrl+Shift+K / &Export Scripts [&Translated F9] / - / "
                              "&Memory and Context / &Statistics... / &Update Originals... / &Checks... Ctrl+Shift+E / - / "
                              "&History… Ctrl+Shift+H / &Restore from Backup… Ctrl+Shift+B / "
                              "Reopen Last &Block Ctrl+Shift+L / Use Unsaved &Draft Ctrl+Shift+D / - / "
                              "&Fit to window Ctrl+Shift+W / Fit &Overflowing Blocks [&In the Open Block's Script... / "
                              "In &the Open Block's Folder... / In the &Project...] / - / "
                              "Export for &Translation… / Im&port Translation File… / - / Te&am Server… / "
                              "Take &Next Untranslated Ctrl+Shift+N"_s;
    QTest::newRow("Insert") << u"&Insert"_s
                            << u"<&New> F1 / <&Wait> F2 / <&Delay X> F3 / <&Space X> F4 / <&Opcode X X> F5 / "
                               "<&Close><End of Block> F6"_s;
    QTest::newRow("Help") << u"&Help"_s << u"&About... F12"_s;
}

// The menus are assembled in one place: their order never follows the
// order the features were built in.
void tst_MainWindow::menusReadInTheirOrder()
{
    QFETCH(QString, menu);
    QFETCH(QString, entries);
    AppFixture f;
    QVERIFY(f.start());
    const QList<QAction *> bar = f.window->menuBar()->actions();
    const auto found = std::find_if(bar.begin(), bar.end(), [&](QAction *a) { return a->text() == menu; });
    QVERIFY(found != bar.end());
    QCOMPARE(menuLine(*(*found)->menu()), entries);
}

void tst_MainWindow::theEditorsTakeTheRoom_data()
{
    QTest::addColumn<QSize>("grown"); // beyond the size the window is made with
    QTest::addColumn<int>("zoom");
    QTest::newRow("as made") << QSize(0, 0) << 1;
    QTest::newRow("as narrow as it goes") << QSize(-1000, 0) << 1;
    QTest::newRow("a large screen") << QSize(700, 390) << 1;
    QTest::newRow("a large screen, preview at 2x") << QSize(700, 390) << 2;
}

void tst_MainWindow::theEditorsTakeTheRoom()
{
    QFETCH(QSize, grown);
    QFETCH(int, zoom);
    AppFixture f;
    QVERIFY(f.start());
    const QStringList names{u"Scripts"_s, u"rtxtOriginal"_s, u"rtxtTranslated"_s, u"txtComentario"_s,
                            u"picContenedor"_s, u"lblMsg"_s, u"memoryDock"_s};
    const auto place = [&](const QString &name) {
        QWidget *control = f.control(name);
        return QRect(control->mapTo(f.window.get(), QPoint(0, 0)), control->size());
    };
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    const QRect tree = place(u"Scripts"_s), editor = place(u"rtxtTranslated"_s), preview = place(u"picContenedor"_s);
    const int bar = f.control(u"VScroll1"_s)->width();
    // The game's windows (337 pixels across) in view beside the scroll bar.
    QCOMPARE(preview.width(), 337 + bar);

    f.window->resize(f.window->size() + grown);
    f.control<QAction>(u"zoom%1Action"_s.arg(zoom))->trigger();
    // The splitter lays out after the zoom has sized the preview; at the
    // narrowest the preview gives way and scrolls across.
    if (grown.width() >= 0)
        QTRY_COMPARE(place(u"picContenedor"_s).width(), 337 * zoom + bar);
    auto *translated = f.control<TranslatedEdit>(u"rtxtTranslated"_s);
    const int margins = qCeil(2 * translated->document()->documentMargin());
    QVERIFY(translated->viewport()->width() - margins >= translated->fontMetrics().horizontalAdvance(QString(32, u'M')));
    if (grown.width() >= 0) {
        QTRY_COMPARE(place(u"rtxtTranslated"_s).width(), editor.width() + grown.width() - 337 * (zoom - 1));
        QCOMPARE(place(u"Scripts"_s).width(), tree.width());
    }
    QVERIFY(place(u"rtxtTranslated"_s).height() >= editor.height() + grown.height() / 3);
    for (const QString &name : names) {
        QVERIFY2(f.window->rect().contains(place(name)), qPrintable(name));
        for (const QString &other : names)
            QVERIFY2(name == other || !place(name).intersects(place(other)), qPrintable(name + u" over "_s + other));
    }
}

void tst_MainWindow::theWindowFitsASmallScreen_data()
{
    QTest::addColumn<int>("zoom");
    for (int zoom = 1; zoom <= 4; ++zoom)
        QTest::newRow(qPrintable(u"preview at %1x"_s.arg(zoom))) << zoom;
}

// 1,024 x 700 with every panel shown: the panels give way and a zoomed
// preview scrolls across instead of widening the window.
void tst_MainWindow::theWindowFitsASmallScreen()
{
    QFETCH(int, zoom);
    AppFixture f;
    QVERIFY(f.start());
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    const QSize small(1024, 700);
    f.window->resize(small);
    f.control<QAction>(u"zoom%1Action"_s.arg(zoom))->trigger();
    QApplication::processEvents();
    QVERIFY2(f.window->minimumSizeHint().boundedTo(small) == f.window->minimumSizeHint(),
             qPrintable(u"%1 x %2"_s.arg(f.window->minimumSizeHint().width()).arg(f.window->minimumSizeHint().height())));
    QTRY_COMPARE(f.window->size(), small);
    for (const QString &name : {u"Scripts"_s, u"rtxtOriginal"_s, u"rtxtTranslated"_s, u"txtComentario"_s,
                               u"chkRevised"_s, u"picContenedor"_s, u"memoryDock"_s}) {
        QWidget *control = f.control(name);
        const QRect place(control->mapTo(f.window.get(), QPoint(0, 0)), control->size());
        QVERIFY2(control->isVisible() && !place.isEmpty() && f.window->rect().contains(place), qPrintable(name));
    }
    auto *preview = f.control<PreviewWidget>(u"picPreview"_s);
    auto *across = f.window->findChild<QWidget *>(u"horizontalScroll"_s);
    QVERIFY(across);
    QCOMPARE(across->isVisible(), f.control(u"picContenedor"_s)->width() < preview->wantedContainerWidth());
}

void tst_MainWindow::theFirstStartFitsTheScreen_data()
{
    QTest::addColumn<QRect>("room");
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("large screen: designed size, centred") << QRect(0, 0, 1920, 1040) << QSize(900, 600)
                                                           << QRect(355, 115, 1208, 808);
    QTest::newRow("1,024 x 700 below a panel: shrunk to the room") << QRect(0, 68, 1024, 700) << QSize(900, 600)
                                                                    << QRect(0, 68, 1024, 700);
    QTest::newRow("smaller than the minimum: top left kept in the room")
        << QRect(10, 30, 800, 570) << QSize(862, 756) << QRect(10, 30, 870, 764);
}

// No geometry kept yet: a 1,200 x 800 window with an 8-pixel frame opens
// inside the screen's available area.
void tst_MainWindow::theFirstStartFitsTheScreen()
{
    QFETCH(QRect, room);
    QFETCH(QSize, minimum);
    QFETCH(QRect, expected);
    QCOMPARE(firstStartFrame(QSize(1200, 800), QSize(8, 8), minimum, room), expected);
}

void tst_MainWindow::tabMovesBetweenTheFields()
{
    AppFixture f;
    QVERIFY(f.start({AppFixture::block(u"battling_arena:a.txt;1"_s, u"Go!"_s, u"Ya"_s)}));
    QVERIFY(f.open(u"battling_arena:a.txt;1"_s));
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    auto *translated = f.control<TranslatedEdit>(u"rtxtTranslated"_s);
    const QString before = translated->toPlainText();
    const QStringList order{u"Scripts"_s, u"rtxtTranslated"_s, u"txtComentario"_s, u"chkRevised"_s};
    f.control(order.first())->setFocus();
    for (qsizetype i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), order[i]);
    }
    for (qsizetype i = order.size() - 2; i >= 0; --i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget()->objectName(), order[i]);
    }
    QCOMPARE(translated->toPlainText(), before); // no tab character typed
}

void tst_MainWindow::aSearchHitOpensItsBlock()
{
    AppFixture f;
    QVERIFY(f.start({AppFixture::block(u"battling_arena:arena01;1"_s, u"Hello"_s, u"Adiós"_s),
                     AppFixture::block(u"field:town01;4"_s, u"Hello"_s, u"Hola, señor"_s)}));
    auto *tree = f.control<QTreeView>(u"Scripts"_s);
    tree->expandAll();
    QString shownWhileOpen;
    answered(f.control<QAction>(u"mnuSearch"_s), [&](QWidget *window) {
        if (auto *form = qobject_cast<SearchWindow *>(window)) {
            form->findChild<QLineEdit *>(u"txtSearch"_s)->setText(u"SEÑOR"_s);
            form->findChild<QPushButton *>(u"cmdBuscar"_s)->click();
            form->openHit(form->hits()->index(0, 0));
            shownWhileOpen = f.control<TranslatedEdit>(u"rtxtTranslated"_s)->toPlainText();
            form->accept();
        }
    });
    QCOMPARE(shownWhileOpen, u"Hola, señor"_s);
    // collapseAll ran first: the arena folder, open before, is closed again.
    QVERIFY(!tree->isExpanded(ScriptTree::model(*tree)->indexForKey(u"battling_arena"_s)));
}

void tst_MainWindow::theViewNeedsAnOpenBlock()
{
    AppFixture f;
    QVERIFY(f.start({AppFixture::block(u"battling_arena:a.txt;1"_s, u"Go!"_s)}));
    QStringList titles;
    const auto close = [&titles](QWidget *window) {
        titles << (window ? window->windowTitle() : u"(none)"_s);
        if (window)
            window->close();
    };
    answered(f.control<QAction>(u"toolButton11"_s), close);
    QVERIFY(f.open(u"battling_arena:a.txt;1"_s));
    answered(f.control<QAction>(u"toolButton11"_s), close);
    QCOMPARE(titles.size(), 1);
    QVERIFY(titles.first().startsWith(u"View Translated Script"_s));
}

void tst_MainWindow::theSpellCheckReadsTheTranslation_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("menu") << u"mnuRevisar"_s;
    QTest::newRow("toolbar") << u"toolButton3"_s;
}

// No block is open, so only the translated box holds text: an empty text is
// checked without a word said.
void tst_MainWindow::theSpellCheckReadsTheTranslation()
{
    QFETCH(QString, control);
    AppFixture f;
    QVERIFY(f.start());
    f.control<TranslatedEdit>(u"rtxtTranslated"_s)->setPlainText(u"Hola"_s);
    f.control<QAction>(control)->trigger();
    // "No possible errors" with the Spanish dictionary, what is missing without it.
    QCOMPARE(f.messages.texts().size(), 1);
}

void tst_MainWindow::onlyExitEndsTheProgram()
{
    AppFixture f;
    QVERIFY(f.start({AppFixture::block(u"battling_arena:a.txt;1"_s, u"Go!"_s)}) && f.open(u"battling_arena:a.txt;1"_s));
    f.control<QPlainTextEdit>(u"txtComentario"_s)->setPlainText(u"last words"_s);
    QSettings().clear();
    f.control<QAction>(u"zoom3Action"_s)->trigger();
    f.window->show();
    QVERIFY(!f.window->close() && f.window->isVisible());
    f.control<QAction>(u"toolButton13"_s)->trigger();
    QVERIFY(f.window->hasExited() && !f.window->isVisible());
    QVERIFY(!f.window->db().isOpen());
    QCOMPARE(f.value(u"SELECT comments FROM battling_arena"_s).toString(), u"last words"_s);
    MainWindow next(f.home.path());
    next.restoreWindowSettings();
    QCOMPARE(next.findChild<PreviewWidget *>(u"picPreview"_s)->zoom(), 3);
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
