#include "app/teameditcontroller.h"
#include "editor/widgets/translatededit.h"
#include "keeping/history.h"
#include "keeping/widgets/restorewindow.h"
#include "scripts/widgets/exportwindow.h"
#include "search/widgets/replacewindow.h"
#include "project/transfer.h"
#include "server/livechanges.h"
#include "tests/support/appfixture.h"
#include "tests/support/testdatabase.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDockWidget>
#include <QMenu>
#include <QTreeWidget>
#include <QLineEdit>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

// Two editors on one server store, each with connections of its own.
class tst_TeamEditing : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void sameBlockSavedByBoth_data();
    void sameBlockSavedByBoth();
    void changesArriveAsCommitted();
    void offlineEditReplayedThroughTheCheck();
    void batchesWriteTheServer_data();
    void batchesWriteTheServer();
    void exportReadsTheServer();
    void openBlockCheckedWithTheServersMark();
    void undoLastBatchOnServer_data();
    void undoLastBatchOnServer();

private:
    // An editor of its own folder on the server's store, as `user`.
    std::unique_ptr<AppFixture> editor(const QString &user = {})
    {
        auto f = std::make_unique<AppFixture>();
        Result<ServerStore> store = ServerStore::open(m_server->address() + (user.isEmpty() ? QString() : u" user="_s + user));
        if (!store)
            qFatal("%s", qPrintable(store.error().message));
        f->window = std::make_unique<MainWindow>(f->home.path(), nullptr, std::make_unique<ServerStore>(std::move(*store)));
        if (!f->window->load() || !f->open(Untranslated))
            qFatal("the editor did not start");
        return f;
    }
    static void type(const AppFixture &f, const QString &translation, const QString &comment = {})
    {
        f.control<TranslatedEdit>(u"rtxtTranslated"_s)->setPlainText(translation);
        if (!comment.isEmpty())
            f.control<QPlainTextEdit>(u"txtComentario"_s)->setPlainText(comment);
    }
    QString onServer(const QString &column, int block = 2) const
    {
        Result<ServerStore> reader = ServerStore::open(m_server->address());
        Result<ServerRows> rows = reader->connection().run(
            u"SELECT %1 FROM field WHERE dialogue_id = %2"_s.arg(column).arg(block).toUtf8().constData());
        return rows ? rows->text(0, 0) : rows.error().message;
    }
    // Runs `act` on the modal window of type T once it shows (after the copy is made).
    template <typename T>
    static std::unique_ptr<QTimer> whenShown(std::function<void(T *)> act)
    {
        auto timer = std::make_unique<QTimer>();
        connect(timer.get(), &QTimer::timeout, [t = timer.get(), act] {
            if (auto *form = qobject_cast<T *>(QApplication::activeModalWidget())) {
                t->stop();
                act(form);
            }
        });
        timer->start(20);
        return timer;
    }
    std::unique_ptr<TestDatabase> m_server;
};

void tst_TeamEditing::init()
{
    m_server = std::make_unique<TestDatabase>();
    if (!m_server->problem().isEmpty())
        QSKIP(qPrintable(m_server->problem()));
    AppFixture seed;
    QVERIFY(seed.home.execute(AppFixture::block(Translated, u"Late."_s, u"Tarde."_s)));
    QVERIFY(seed.home.execute(AppFixture::block(Untranslated, u"Line one"_s)));
    Database local;
    QVERIFY(openStore(local, seed.home.storePath()));
    Result<ServerConnection> connection = ServerConnection::open(m_server->address());
    QVERIFY(connection);
    ServerStore store(std::move(*connection));
    QVERIFY(ServerTransfer::setUp(store, &local));
}

void tst_TeamEditing::sameBlockSavedByBoth_data()
{
    QTest::addColumn<QString>("myComment"); // set: I change only the comment
    QTest::addColumn<QString>("button");    // empty: no panel
    QTest::addColumn<QString>("serverHolds");
    QTest::addColumn<QString>("editorHolds");
    QTest::newRow("Keep Mine saves over theirs") << QString() << u"keepMineButton"_s << u"Mine;"_s << u"Mine"_s;
    QTest::newRow("Take Theirs keeps mine as a draft") << QString() << u"takeTheirsButton"_s << u"Theirs;"_s
                                                       << u"Theirs"_s;
    QTest::newRow("other fields merge by themselves") << u"short"_s << QString() << u"Theirs;short"_s << u"Theirs"_s;
}

void tst_TeamEditing::sameBlockSavedByBoth()
{
    QFETCH(QString, myComment);
    QFETCH(QString, button);
    QFETCH(QString, serverHolds);
    QFETCH(QString, editorHolds);
    auto me = editor();
    auto them = editor();
    type(*them, u"Theirs"_s);
    them->window->runCommand(Command::Save);
    if (myComment.isEmpty())
        type(*me, u"Mine"_s);
    else
        me->control<QPlainTextEdit>(u"txtComentario"_s)->setPlainText(myComment);
    me->window->runCommand(Command::Save);

    QCOMPARE(!me->control<QDockWidget>(u"conflictDock"_s)->isHidden(), !button.isEmpty());
    if (!button.isEmpty())
        me->control<QPushButton>(button)->click();
    else
        QVERIFY2(me->control<QLabel>(u"lblMsg"_s)->text().startsWith(u"Merged with"_s),
                 qPrintable(me->control<QLabel>(u"lblMsg"_s)->text()));
    QVERIFY(me->control<QDockWidget>(u"conflictDock"_s)->isHidden());
    QCOMPARE(onServer(u"text_data_t || ';' || comments"_s), serverHolds);
    QCOMPARE(me->control<TranslatedEdit>(u"rtxtTranslated"_s)->toPlainText(), editorHolds);
    // Nothing lost: the one not on the server is in its history or a draft.
    const Result<std::optional<BlockVersion>> read = blockDraft(me->window->storePath(), *parseBlockKey(Untranslated));
    QVERIFY(read);
    const std::optional<BlockVersion> &draft = *read;
    const QString kept = onServer(u"(SELECT string_agg(translation, ',' ORDER BY id) FROM block_history)"_s);
    QCOMPARE(kept + u'|' + (draft ? draft->translation : QString()),
             button == u"takeTheirsButton" ? u"|Mine"_s : u",Theirs|"_s);
}

void tst_TeamEditing::changesArriveAsCommitted()
{
    auto me = editor();
    auto them = editor();
    LiveChanges *live = me->feature<TeamEditController>().liveChanges();
    QSignalSpy heard(live, &LiveChanges::changed);
    // Never committed: nothing may arrive for it.
    Result<ServerStore> other = ServerStore::open(m_server->address());
    QVERIFY(other->connection().runScript("BEGIN; UPDATE field SET version = 9 WHERE dialogue_id = 2; INSERT INTO "
                                          "block_change (block_table, file_name, dialogue_id, version) VALUES "
                                          "('field', '0012.txt', 2, 9); ROLLBACK"));
    type(*them, u"First"_s, u"a note"_s);
    them->window->runCommand(Command::Save);
    QTRY_COMPARE_WITH_TIMEOUT(me->control<TranslatedEdit>(u"rtxtTranslated"_s)->toPlainText(), u"First"_s, 1000);
    auto *tree = me->control<QTreeView>(u"Scripts"_s);
    QVERIFY(tree->currentIndex().data().toString().endsWith(u"[c]"_s));
    QCOMPARE(me->control<QLabel>(u"lblMsg"_s)->text(), u">Translation status: 100% translated"_s);
    QCOMPARE(heard.size(), 1);

    // The listener is cut; what is saved meanwhile is caught up from the sequence.
    QVERIFY(m_server->execute(u"DO $$ BEGIN PERFORM pg_terminate_backend(%1); END $$"_s.arg(live->backendPid())));
    type(*them, u"Second"_s);
    them->window->runCommand(Command::Save);
    type(*them, u"Third"_s);
    them->window->runCommand(Command::Save);
    QTRY_COMPARE_WITH_TIMEOUT(me->control<TranslatedEdit>(u"rtxtTranslated"_s)->toPlainText(), u"Third"_s, 7000);
    QCOMPARE(heard.size(), 3);
}

void tst_TeamEditing::offlineEditReplayedThroughTheCheck()
{
    QVERIFY(m_server->execute(u"DO $$ BEGIN CREATE ROLE te_ana LOGIN SUPERUSER; EXCEPTION WHEN duplicate_object "
                              "THEN ALTER ROLE te_ana LOGIN; END $$"_s));
    auto me = editor(u"te_ana"_s);
    auto them = editor();
    // The server turns te_ana away, as a lost network would.
    QVERIFY(m_server->execute(u"ALTER ROLE te_ana NOLOGIN"_s));
    QVERIFY(m_server->execute(u"DO $$ BEGIN PERFORM pg_terminate_backend(pid) FROM pg_stat_activity WHERE "
                              "usename = 'te_ana'; END $$"_s));
    type(*me, u"Mine offline"_s);
    me->window->runCommand(Command::Save);
    QCOMPARE(me->control<QLabel>(u"lblConnection"_s)->text(), u"Offline"_s);
    type(*them, u"Theirs online"_s);
    them->window->runCommand(Command::Save);

    QVERIFY(m_server->execute(u"ALTER ROLE te_ana LOGIN"_s));
    QTRY_VERIFY_WITH_TIMEOUT(!me->control<QDockWidget>(u"conflictDock"_s)->isHidden(), 12000);
    QCOMPARE(me->control<QLabel>(u"lblConnection"_s)->text(), QString());
    QCOMPARE(onServer(u"text_data_t"_s), u"Theirs online"_s); // nothing replayed blindly
    me->control<QPushButton>(u"keepMineButton"_s)->click();
    QCOMPARE(onServer(u"text_data_t || ';' || updated_by"_s), u"Mine offline;te_ana"_s);
    QCOMPARE(Outbox(me->home.filePath(OutboxFileName)).pending()->size(), size_t(0));
}

void tst_TeamEditing::batchesWriteTheServer_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("theyChangeIt"); // another saves block 1 while the batch runs
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("historyRows"); // the save's and the batch's; it keeps the translator's fields
    QTest::addColumn<bool>("emptied");        // the editors emptied, as on the local store
    QTest::newRow("Replace") << u"replaceAction"_s << false << u"text_data_t"_s
                             << u"pronto pronto pronto pronto pronto."_s << u"2"_s << false;
    QTest::newRow("Fit Overflowing Blocks") << u"fitAllMenu"_s << false << u"text_data_t"_s
                                            << u"Tarde tarde\r\ntarde tarde\r\n<New>\r\ntarde."_s << u"2"_s << false;
    QTest::newRow("Update Originals") << u"updateOriginalsAction"_s << false << u"text_data"_s
                                      << u"It`s later.<End of Block>"_s << u"1"_s << true;
    QTest::newRow("Restore from Backup") << u"restoreAction"_s << false << u"text_data_t"_s << u"Gone."_s << u"2"_s
                                         << true;
    QTest::newRow("a conflict writes nothing") << u"replaceAction"_s << true << u"text_data_t"_s << u"Theirs."_s
                                               << u"1"_s << false;
}

void tst_TeamEditing::batchesWriteTheServer()
{
    QFETCH(QString, entry);
    QFETCH(bool, theyChangeIt);
    QFETCH(QString, column);
    QFETCH(QString, expected);
    QFETCH(QString, historyRows);
    QFETCH(bool, emptied);
    const QString overflowing = u"Tarde tarde tarde tarde tarde."_s;
    QVERIFY(m_server->execute(u"UPDATE field SET text_data_t = 'Gone.' WHERE dialogue_id = 1"_s));
    auto me = editor();
    Result<ServerStore> puller = ServerStore::open(m_server->address());
    QVERIFY(ServerTransfer::pull(*puller, me->home.path())); // what the restore puts back
    QVERIFY(me->open(Translated));
    QVERIFY(me->home.write(u"new/field/0012.txt"_s, "<TextBlock 1 w:24 h:2>\r\nIt's later.<End of Block>\r\n"
                                                    "<TextBlock 2 w:24 h:2>\r\nLine one<End of Block>\r\n"
                                                    "<TextBlock 3 w:24 h:2>\r\nNew.<End of Block>\r\n"));
    const QDir home(me->home.path());
    QVERIFY(home.mkpath(u"new/battling_arena"_s) && home.mkpath(u"new/battle_script"_s));
    me->pickerAnswer = me->home.filePath(u"new"_s);
    me->control<QAction>(u"mnuAutoGuar"_s)->trigger();
    me->messages.answerWith({Messages::Answer::Yes});
    const auto localBytes = [&] {
        QFile store(me->home.storePath());
        return store.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(store.readAll(), QCryptographicHash::Sha1)
                                               : QByteArray();
    };
    const QByteArray localBefore = localBytes();
    const int version = onServer(u"version"_s, 1).toInt();
    type(*me, overflowing); // saved before the copy is made
    const auto answer = whenShown<ReplaceWindow>([&](ReplaceWindow *form) {
        if (theyChangeIt)
            QVERIFY(m_server->execute(u"UPDATE field SET text_data_t = 'Theirs.', version = version + 1 "
                                      "WHERE dialogue_id = 1"_s));
        form->findChild<QLineEdit *>(u"findBox"_s)->setText(u"tarde"_s);
        form->findChild<QLineEdit *>(u"replacementBox"_s)->setText(u"pronto"_s);
        form->findAll();
        form->replaceTicked();
        form->reject();
    });
    if (entry == u"fitAllMenu")
        me->control<QMenu>(entry)->actions().constLast()->trigger();
    else
        me->control<QAction>(entry)->trigger();
    if (auto *restore = me->window->findChild<RestoreWindow *>()) {
        auto *list = restore->findChild<QTreeWidget *>(u"backupList"_s);
        list->setCurrentItem(list->topLevelItem(0));
        QVERIFY(restore->restoreSelected());
    }
    QCOMPARE(onServer(column, 1), expected);
    // Versioned (the typing's save, then the batch or theirs) and kept in the history as a save is.
    QCOMPARE(onServer(u"version"_s, 1).toInt(), version + 2);
    QCOMPARE(onServer(u"(SELECT count(*) FROM block_history WHERE dialogue_id = 1)"_s, 1), historyRows);
    QCOMPARE(me->messages.texts().filter(u"Conflict:"_s).size(), int(theyChangeIt));
    // The tree and the open block show what the server now holds.
    const ScriptTreeModel *model = ScriptTree::model(*me->control<QTreeView>(u"Scripts"_s));
    int nodes = 0;
    for (int n = 1; n <= 4; ++n)
        nodes += model->indexForKey(u"field:0012.txt;%1"_s.arg(n)).isValid();
    QCOMPARE(QString::number(nodes), onServer(u"(SELECT count(*) FROM field)"_s, 1));
    QCOMPARE(me->control<TranslatedEdit>(u"rtxtTranslated"_s)->toPlainText(),
             emptied ? QString() : onServer(u"text_data_t"_s, 1).replace(u"\r\n"_s, u"\n"_s));
    QCOMPARE(localBytes(), localBefore);
    QCOMPARE(home.entryList({u".server-*"_s}, QDir::AllEntries | QDir::Hidden), QStringList());
    // The update's "original changed" mark is the server's, for every editor.
    auto them = editor();
    QVERIFY(them->open(Translated));
    QCOMPARE(them->control<QWidget>(u"oldOriginalEdit"_s)->isVisibleTo(them->window.get()),
             entry == u"updateOriginalsAction");
    type(*them, u"Luego."_s); // a save closes it
    them->window->runCommand(Command::Save);
    QVERIFY(!them->control<QWidget>(u"oldOriginalEdit"_s)->isVisibleTo(them->window.get()));
}

void tst_TeamEditing::exportReadsTheServer()
{
    auto me = editor();
    me->messages.answerWith({Messages::Answer::Yes});
    const auto answer = whenShown<ExportWindow>([](ExportWindow *exporter) {
        exporter->selectAll();
        exporter->exportSelected();
        exporter->reject();
    });
    me->window->runCommand(Command::ExportTranslated);
    QFile exported(me->home.filePath(u"Translated/field/0012.txt"_s));
    QVERIFY(exported.open(QIODevice::ReadOnly));
    QVERIFY2(exported.readAll().contains("Tarde."), "the server's translation");
    QCOMPARE(onServer(u"version"_s, 1), u"1"_s);
    QCOMPARE(QDir(me->home.path()).entryList({u".server-*"_s}, QDir::AllEntries | QDir::Hidden), QStringList());
}

// The open block's check counts the server's "original changed" mark until
// a save closes it.
void tst_TeamEditing::openBlockCheckedWithTheServersMark()
{
    QVERIFY(m_server->execute(u"INSERT INTO original_change (block_table, file_name, dialogue_id, old_original, "
                              "new_original, open) SELECT 'field', file_name, dialogue_id, 'Early.', text_data, 1 "
                              "FROM field WHERE dialogue_id = 1"_s));
    auto me = editor();
    QVERIFY(me->open(Translated));
    auto *count = me->control<QLabel>(u"checksLabel"_s);
    QTRY_COMPARE(count->text(), u"1 error, 1 warning"_s); // the end tag the fixture leaves out
    type(*me, u"Luego."_s);
    me->window->runCommand(Command::Save);
    QTRY_COMPARE(count->text(), u"1 error, 0 warnings"_s);
}

void tst_TeamEditing::undoLastBatchOnServer_data()
{
    QTest::addColumn<bool>("theyChangeIt"); // another saves the block between the batch and the undo
    QTest::addColumn<QString>("holds");     // text, version, history rows
    QTest::addColumn<QString>("then");      // the last message
    QTest::newRow("put back, versioned, once") << false << u"Tarde.;3;2"_s << u"There is no batch edit to undo."_s;
    QTest::newRow("a block changed since writes nothing")
        << true << u"Theirs.;3;1"_s
        << u"The batch was not undone; no block changed. Conflict: postgres changed block 1 of 0012.txt"_s;
}

void tst_TeamEditing::undoLastBatchOnServer()
{
    QFETCH(bool, theyChangeIt);
    QFETCH(QString, holds);
    QFETCH(QString, then);
    auto me = editor();
    QVERIFY(me->open(Translated));
    const auto answer = whenShown<ReplaceWindow>([](ReplaceWindow *form) {
        form->findChild<QLineEdit *>(u"findBox"_s)->setText(u"tarde"_s);
        form->findChild<QLineEdit *>(u"replacementBox"_s)->setText(u"pronto"_s);
        form->findAll();
        form->replaceTicked();
        form->reject();
    });
    me->control<QAction>(u"replaceAction"_s)->trigger();
    QCOMPARE(onServer(u"version"_s, 1), u"2"_s);
    if (theyChangeIt)
        QVERIFY(m_server->execute(u"UPDATE field SET text_data_t = 'Theirs.', version = version + 1, updated_by = "
                                  "'postgres' WHERE dialogue_id = 1"_s));
    me->messages.answerWith({Messages::Answer::Yes, Messages::Answer::Yes});
    auto *undo = me->control<QAction>(u"undoBatchAction"_s);
    undo->trigger();
    if (!theyChangeIt)
        undo->trigger(); // forgotten once undone
    QCOMPARE(onServer(u"text_data_t || ';' || version || ';' || (SELECT count(*) FROM block_history)"_s, 1), holds);
    QVERIFY2(me->messages.texts().constLast().startsWith(then), qPrintable(me->messages.texts().constLast()));
    QVERIFY2(me->messages.texts().constFirst().contains(u"if anyone changed one of them since, nothing is undone"_s),
             qPrintable(me->messages.texts().constFirst()));
    QCOMPARE(me->control<TranslatedEdit>(u"rtxtTranslated"_s)->toPlainText(), onServer(u"text_data_t"_s, 1));
}

QTEST_MAIN(tst_TeamEditing)
#include "tst_teamediting.moc"
