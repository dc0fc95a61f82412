#include "app/keepcontroller.h"
#include "editor/widgets/translatededit.h"
#include "tests/support/appfixture.h"
#include "keeping/backup.h"
#include "keeping/history.h"
#include "keeping/widgets/historywindow.h"
#include "keeping/widgets/restorewindow.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

class tst_KeepController : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void windowsOpenFromTheMainWindow_data();
    void windowsOpenFromTheMainWindow();
    void startUpChecksAndCopies_data();
    void startUpChecksAndCopies();
    void unsavedTextBecomesADraft_data();
    void unsavedTextBecomesADraft();
};

void tst_KeepController::initTestCase()
{
    QVERIFY(qEnvironmentVariableIsSet("QT_QPA_PLATFORM"));
}

void tst_KeepController::windowsOpenFromTheMainWindow_data()
{
    QTest::addColumn<QString>("how"); // an action's name, or "menu": the block node's pop-up menu
    QTest::addColumn<QString>("window");
    QTest::newRow("Tools, History…") << u"historyAction"_s << u"HistoryWindow"_s;
    QTest::newRow("Tools, Restore from Backup…") << u"restoreAction"_s << u"RestoreWindow"_s;
    QTest::newRow("a block node's History") << u"menu"_s << u"HistoryWindow"_s;
}

void tst_KeepController::windowsOpenFromTheMainWindow()
{
    QFETCH(QString, how);
    QFETCH(QString, window);
    AppFixture f;
    QVERIFY(f.startWithBlocks());
    auto *tree = f.control<QTreeView>(u"Scripts"_s);
    if (how == u"menu") {
        QVERIFY(ScriptTree::selectKey(*tree, Untranslated));
        QTimer::singleShot(0, tree, [] {
            if (QWidget *popup = QApplication::activePopupWidget()) {
                QTest::keyClick(popup, Qt::Key_Down);
                QTest::keyClick(popup, Qt::Key_Return);
            }
        });
        emit tree->customContextMenuRequested(tree->visualRect(tree->currentIndex()).center());
    } else {
        QVERIFY(f.open(Untranslated));
        f.control<QAction>(how)->trigger();
    }
    QWidget *shown = QApplication::activeModalWidget();
    QVERIFY(shown);
    QCOMPARE(QString::fromLatin1(shown->metaObject()->className()), window);
    QCOMPARE(shown->parentWidget(), f.window.get());
    QCOMPARE(f.feature<BlockEditController>().openKey(), Untranslated);
    shown->close();
}

void tst_KeepController::startUpChecksAndCopies_data()
{
    QTest::addColumn<QByteArray>("store"); // the store's bytes; null: a good one
    QTest::addColumn<bool>("interrupted"); // a restore was killed before the start
    QTest::addColumn<QString>("said");     // a part of the first message; empty: none
    QTest::addColumn<int>("dailyCopies");
    QTest::newRow("a good store gets its daily copy") << QByteArray() << false << QString() << 1;
    QTest::newRow("a damaged store names the real entry")
        << QByteArray(8192, 'x') << false << u"choose Tools, Restore from Backup…"_s << 0;
    QTest::newRow("an interrupted restore is finished") << QByteArray() << true << u"has now been finished"_s << 1;
}

void tst_KeepController::startUpChecksAndCopies()
{
    QFETCH(QByteArray, store);
    QFETCH(bool, interrupted);
    QFETCH(QString, said);
    QFETCH(int, dailyCopies);
    AppFixture f;
    if (interrupted) {
        const Backups::Outcome made = Backups::makeBackup(f.home.path(), Backups::Reason::Manual);
        QVERIFY(made.ok());
        QVERIFY(f.home.write(Backups::FolderName + u'/' + Backups::RestoreMarkerName, (*made + u"\n\n"_s).toUtf8()));
        QVERIFY(f.home.write(u"tallowpen.db"_s, ""));
    }
    if (!store.isNull()) {
        QVERIFY(Backups::makeBackup(f.home.path(), Backups::Reason::Manual).ok());
        QVERIFY(f.home.write(u"tallowpen.db"_s, store));
    }
    QVERIFY(f.start());
    f.feature<KeepController>().waitForBackup();
    QCOMPARE(f.messages.texts().isEmpty(), said.isEmpty());
    if (!said.isEmpty())
        QVERIFY2(f.messages.texts().last().contains(said), qPrintable(f.messages.texts().last()));
    int daily = 0;
    for (const Backups::BackupInfo &copy : Backups::listBackups(f.home.path()))
        daily += copy.reason == Backups::Reason::Daily;
    QCOMPARE(daily, dailyCopies);
    bool entryShown = false;
    for (const QAction *entry : f.control<QMenu>(u"mnuTools"_s)->actions())
        entryShown |= QString(entry->text()).remove(u'&') == u"Restore from Backup…";
    QVERIFY(entryShown);
}

void tst_KeepController::unsavedTextBecomesADraft_data()
{
    QTest::addColumn<QString>("then"); // what follows the typing
    QTest::newRow("another block clicked") << u"click"_s;
    QTest::newRow("Exit") << u"exit"_s;
    QTest::newRow("a pause after the last key, then a crash") << u"pause"_s;
}

void tst_KeepController::unsavedTextBecomesADraft()
{
    QFETCH(QString, then);
    AppFixture f;
    QVERIFY(f.startWithBlocks());
    f.control<QAction>(u"mnuAutoGuar"_s)->trigger();
    QVERIFY(f.open(Untranslated));
    QTest::keyClicks(f.control<TranslatedEdit>(u"rtxtTranslated"_s), u"Typed"_s);
    const BlockAddress at = *parseBlockKey(Untranslated);
    if (then == u"click")
        QVERIFY(f.open(Translated));
    else if (then == u"exit")
        f.control<QAction>(u"mnuSalir"_s)->trigger();
    else
        QTRY_VERIFY_WITH_TIMEOUT(blockDraft(f.home.storePath(), at).value_or(std::nullopt).has_value(), 2000);
    QCOMPARE(blockDraft(f.home.storePath(), at).value_or(std::nullopt).value_or(BlockVersion()).translation, u"Typed"_s);
    QCOMPARE(f.stored(u"text_data_t"_s, Untranslated), QString());

    // Back in a new window: Reopen Last Block, then the draft's key.
    f.window.reset();
    QVERIFY(f.start());
    f.control<QAction>(u"reopenLastAction"_s)->trigger();
    const QString expected = then == u"click" ? Translated : Untranslated;
    QCOMPARE(f.feature<BlockEditController>().openKey(), expected);
    if (expected != Untranslated)
        QVERIFY(f.open(Untranslated));
    QVERIFY(f.control<QLabel>(u"lblMsg"_s)->text().contains(u"Ctrl+Shift+D"_s));
    QAction *take = f.control<QAction>(u"takeDraftAction"_s);
    QCOMPARE(take->shortcut(), QKeySequence(u"Ctrl+Shift+D"_s));
    take->trigger();
    QCOMPARE(f.control<TranslatedEdit>(u"rtxtTranslated"_s)->toPlainText(), u"Typed"_s);
}

QTEST_MAIN(tst_KeepController)
#include "tst_keepcontroller.moc"
