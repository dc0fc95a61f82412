#include "app/aboutdialog.h"
#include "search/widgets/searchwindow.h"
#include "tests/app/appfixture.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void startUp_data();
    void startUp();
    void aboutScrollerTurnsAround();
    void aSearchHitOpensItsBlock();
    void theViewNeedsAnOpenBlock();
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

void tst_MainWindow::startUp_data()
{
    QTest::addColumn<int>("content"); // -1: a store file that is no database
    QTest::addColumn<QStringList>("statements");
    QTest::addColumn<QString>("message"); // how the one message starts, if any
    QTest::addColumn<QString>("status");
    const QString arena = AppFixture::block(u"battling_arena:a.txt;1"_s, u"Go!"_s, u"¡Ya!"_s);
    const QString field = AppFixture::block(u"field:a.txt;1"_s, u"Hi"_s);
    QTest::newRow("no store") << int(TestHome::FontOnly) << QStringList()
                              << u"Required file 'tallowpen.db' is not in the .exe path folder"_s << QString();
    QTest::newRow("no database") << -1 << QStringList()
                                 << u"Debug: Please report this error to the Tallowpen team (tallowpen@users.invalid): 26"_s
                                 << QString();
    QTest::newRow("no font") << int(TestHome::StoreOnly) << QStringList()
                             << u"Required file 'font.bmp' is not in the 'Font' folder"_s << QString();
    QTest::newRow("blocks only in field") << int(TestHome::StoreAndFont) << QStringList{field} << QString() << QString();
    QTest::newRow("a name in two tables")
        << int(TestHome::StoreAndFont) << QStringList{arena, field} << QString()
        << u">Translation status: 50% translated\nScript tree: Script name a.txt is met twice; the one in field is "
           "shown as \"a.txt [duplicate]\"."_s;
}

void tst_MainWindow::startUp()
{
    QFETCH(int, content);
    QFETCH(QStringList, statements);
    QFETCH(QString, message);
    QFETCH(QString, status);
    AppFixture f(content < 0 ? TestHome::FontOnly : TestHome::Content(content));
    QVERIFY(content >= 0 || f.home.write(u"tallowpen.db"_s, QByteArray(8192, 'Z')));
    QCOMPARE(f.start(statements), content != TestHome::FontOnly);
    QCOMPARE(f.messages.texts().size(), message.isEmpty() ? 0 : 1);
    QVERIFY(message.isEmpty() || f.messages.texts().first().startsWith(message));
    QCOMPARE(f.control(u"picPreview"_s)->isHidden(), content == TestHome::StoreOnly);
    if (content != TestHome::StoreAndFont)
        return;
    QCOMPARE(f.control<QLabel>(u"lblMsg"_s)->text(), status);
    QCOMPARE(ScriptTree::selectedKey(*f.control<QTreeView>(u"Scripts"_s)), status.isEmpty() ? QString() : u"Root"_s);
    for (const char *name : {"rtxtOriginal", "rtxtTranslated", "txtComentario", "chkRevised"})
        QVERIFY2(!f.control(QLatin1StringView(name))->isEnabled(), name);
    QVERIFY(!f.control<QAction>(u"mnuGuardar"_s)->isEnabled());
    QVERIFY(f.control<QTimer>(u"saveTime"_s)->isActive());
}

void tst_MainWindow::aboutScrollerTurnsAround()
{
    AboutDialog about;
    const int start = about.scrollTop();
    about.scrollStep();
    QCOMPARE(about.scrollTop(), start - AboutDialog::StepTwips);
    for (int ticks = 0; about.scrollTop() != -about.scrollInnerHeight() && ticks < 100000; ++ticks)
        about.scrollStep();
    about.scrollStep();
    QCOMPARE(about.scrollTop(), AboutDialog::ReentryTwips);
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
            shownWhileOpen = f.control<QTextEdit>(u"rtxtTranslated"_s)->toPlainText();
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
    answered(f.control<QAction>(u"tool_11"_s), close);
    QVERIFY(f.open(u"battling_arena:a.txt;1"_s));
    answered(f.control<QAction>(u"tool_11"_s), close);
    QCOMPARE(titles.size(), 1);
    QVERIFY(titles.first().startsWith(u"View Translated Script"_s));
}

void tst_MainWindow::theSpellCheckReadsTheTranslation()
{
    AppFixture f;
    QVERIFY(f.start());
    f.control<QAction>(u"tool_3"_s)->trigger();
    QVERIFY(f.messages.texts().isEmpty()); // nothing to check
    f.control<QTextEdit>(u"rtxtTranslated"_s)->setPlainText(u"Hola"_s);
    f.control<QAction>(u"mnuRevisar"_s)->trigger();
    // "No possible errors" with the Spanish dictionary, what is missing without it.
    QCOMPARE(f.messages.texts().size(), 1);
}

void tst_MainWindow::onlyExitEndsTheProgram()
{
    AppFixture f;
    QVERIFY(f.start({AppFixture::block(u"battling_arena:a.txt;1"_s, u"Go!"_s)}) && f.open(u"battling_arena:a.txt;1"_s));
    f.control<QPlainTextEdit>(u"txtComentario"_s)->setPlainText(u"last words"_s);
    f.window->show();
    QVERIFY(!f.window->close() && f.window->isVisible());
    f.control<QAction>(u"tool_13"_s)->trigger();
    QVERIFY(f.window->hasExited() && !f.window->isVisible());
    QVERIFY(!f.window->db().isOpen());
    QCOMPARE(f.value(u"SELECT comments FROM battling_arena"_s).toString(), u"last words"_s);
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
