#include "app/checkcontroller.h"
#include "app/linkscontroller.h"
#include "app/serverbatch.h"
#include "check/widgets/checkswindow.h"
#include "links/linksmodel.h"
#include "links/widgets/linkdialog.h"
#include "links/widgets/linkslistwindow.h"
#include "memory/widgets/memorypanel.h"
#include "memory/widgets/statisticswindow.h"
#include "project/transfer.h"
#include "search/widgets/searchwindow.h"
#include "tests/support/appfixture.h"
#include "tests/support/testdatabase.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTreeWidget>

// The editor's reading features on a server's store show the server's
// project, not the program folder's tallowpen.db it was uploaded from.
class tst_ServerReading : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void featuresShowTheServersProject_data();
    void featuresShowTheServersProject();

private:
    std::unique_ptr<TestDatabase> m_server;
    std::unique_ptr<AppFixture> m_app;
};

namespace {

const QString Third = u"field:0012.txt;3"_s; // untranslated everywhere

// Triggers the control; `answer` gets the modal window it opened.
void answered(QAction *control, const std::function<void(QWidget *)> &answer)
{
    QObject guard;
    QTimer::singleShot(0, &guard, [&answer] { answer(QApplication::activeModalWidget()); });
    control->trigger();
}

} // namespace

void tst_ServerReading::init()
{
    m_server = std::make_unique<TestDatabase>();
    if (!m_server->problem().isEmpty())
        QSKIP(qPrintable(m_server->problem()));
    m_app = std::make_unique<AppFixture>();
    for (const QString &statement : {AppFixture::block(Translated, u"Late."_s, u"Tarde."_s),
                                     AppFixture::block(Untranslated, u"Open the gate, friend."_s),
                                     AppFixture::block(Third, u"Open the gate, Tolm."_s)})
        QVERIFY(m_app->home.execute(statement));
    QVERIFY(m_app->home.execute(u"INSERT INTO suggestion VALUES ('Late', 'Tarde', '', '', '', '', '')"_s));
    Database local;
    QVERIFY(openStore(local, m_app->home.storePath()));
    Result<ServerConnection> connection = ServerConnection::open(m_server->address());
    QVERIFY2(connection, qPrintable(connection.error().message));
    std::optional<ServerStore> server(std::in_place, std::move(*connection));
    QVERIFY(ServerTransfer::setUp(*server, &local));
    // Only the server holds these: a new translation, one identical to its
    // original, and the link's second suggestion.
    QVERIFY(server->saveBlock(Untranslated, u"2"_s, {u"Línea uno"_s, {}, false}, nullptr));
    QVERIFY(server->saveBlock(Translated, u"1"_s, {u"Late."_s, {}, false}, nullptr));
    QVERIFY(server->saveLink(u"Late"_s, {u"Tarde"_s, u"Tardío"_s}, true));
    m_app->window = std::make_unique<MainWindow>(m_app->home.path(), nullptr,
                                                 std::make_unique<ServerStore>(std::move(*server)));
    QVERIFY(m_app->window->load());
}

void tst_ServerReading::cleanup()
{
    LinksController::setDialogRunner({});
    m_app.reset();
}

void tst_ServerReading::featuresShowTheServersProject_data()
{
    QTest::addColumn<QString>("feature");
    QTest::newRow("search finds the server's translation") << u"search"_s;
    QTest::newRow("links list reads and the dialog writes the server's links") << u"links"_s;
    QTest::newRow("statistics count the server's translations") << u"statistics"_s;
    QTest::newRow("checks see the server's translation") << u"checks"_s;
    QTest::newRow("memory matches the server's translation") << u"memory"_s;
    QTest::newRow("context tab shows the server's translation") << u"context"_s;
    QTest::newRow("View Script reads the server's script, not a copy") << u"view"_s;
}

void tst_ServerReading::featuresShowTheServersProject()
{
    QFETCH(QString, feature);
    AppFixture &f = *m_app;
    if (feature == u"search") {
        QStringList hits;
        answered(f.control<QAction>(u"mnuSearch"_s), [&](QWidget *window) {
            auto *form = qobject_cast<SearchWindow *>(window);
            QVERIFY(form);
            form->findChild<QLineEdit *>(u"txtSearch"_s)->setText(u"LÍNEA"_s);
            form->findChild<QPushButton *>(u"cmdBuscar"_s)->click();
            for (int row = 0; row < form->hits()->rowCount(); ++row)
                hits << hitKey(*form->hits()->hit(row));
            form->accept();
        });
        QCOMPARE(hits, QStringList{Untranslated});
    } else if (feature == u"links") {
        QVERIFY(f.control<QAction>(u"mnuAgregar"_s)->isEnabled()); // the lead may write links here
        QStringList listed;
        LinksController::setDialogRunner([&](QDialog &dialog) {
            if (auto *list = qobject_cast<LinksListWindow *>(&dialog)) {
                const LinkRow link = list->model()->link(0);
                listed << link.word + u'=' + link.suggestions[1];
                list->editClickedLink(list->model()->index(0, 0));
                return 0;
            }
            auto &link = static_cast<LinkDialog &>(dialog);
            listed << link.fields()[1];
            link.wordBox(2)->setText(u"Retrasado"_s);
            link.acceptLink();
            return link.result();
        });
        f.window->runCommand(Command::ViewLinks);
        QCOMPARE(listed, (QStringList{u"Late=Tardío"_s, u"Tardío"_s}));
        Result<ServerStore> reader = ServerStore::open(m_server->address());
        QVERIFY(reader);
        const Result<std::vector<LinkColumns>> rows = reader->linksOf(u"Late"_s);
        QVERIFY(rows && rows->size() == 1);
        QCOMPARE(rows->front()[3], u"Retrasado"_s);
        QCOMPARE(f.value(u"SELECT suggest3 FROM suggestion"_s).toString(), QString()); // the file was left alone
    } else if (feature == u"statistics") {
        QString translated;
        answered(f.control<QAction>(u"statisticsAction"_s), [&](QWidget *window) {
            auto *statistics = qobject_cast<StatisticsWindow *>(window);
            QVERIFY(statistics);
            translated = statistics->totalRow()->text(2);
            statistics->accept();
        });
        QCOMPARE(translated, u"2"_s);
    } else if (feature == u"checks") {
        auto *checks = f.window->findChild<CheckController *>();
        QSignalSpy checked(checks, &CheckController::projectChecked);
        f.control<QAction>(u"checksAction"_s)->trigger();
        QVERIFY(checked.wait(10000));
        checks->checksWindow()->setRuleFilter(Rule::Identical);
        QCOMPARE(checks->checksWindow()->shown().rowCount(), 1);
        // Its one writing button would write the program folder's file.
        checks->checksWindow()->findChild<QPushButton *>(u"removeDuplicatesButton"_s)->click();
        QVERIFY(f.messages.texts().join(u' ').contains(u"on a team server"_s));
    } else if (feature == u"context") {
        QVERIFY(f.open(Third));
        const QString shown = f.window->findChild<MemoryPanel *>()->contextView()->toPlainText();
        QVERIFY2(shown.contains(u"Línea uno"_s), qPrintable(shown));
    } else if (feature == u"view") {
        QVERIFY(f.open(Third));
        QSignalSpy copied(f.window->findChild<ServerBatch *>(), &ServerBatch::aboutToCopy);
        QString shown;
        answered(f.control<QAction>(u"mnuView"_s), [&](QWidget *window) {
            QVERIFY(window);
            shown = window->findChild<QPlainTextEdit *>(u"rtxtView"_s)->toPlainText();
            window->close();
        });
        QVERIFY2(shown.contains(u"<TextBlock 2 w:"_s) && shown.contains(u"Línea uno"_s), qPrintable(shown));
        QCOMPARE(copied.count(), 0);
    } else {
        QVERIFY(f.open(Third));
        QVERIFY2(f.window->findChild<MemoryPanel *>()->matchesView()->toPlainText().contains(u"Línea uno"_s),
                 qPrintable(f.window->findChild<MemoryPanel *>()->matchesView()->toPlainText()));
    }
}

QTEST_MAIN(tst_ServerReading)
#include "tst_serverreading.moc"
