#include "app/mainwindow.h"
#include "store/database.h"
#include "tests/support/clirun.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/testhome.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

// The editor keeps its locks on the store while its dialogs browse the
// program folder: a second process that writes and checkpoints meanwhile
// must not delete the journal under it.
class tst_Locks : public QObject
{
    Q_OBJECT

private slots:
    void dialogs_data();
    void dialogs();
};

void tst_Locks::dialogs_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("listed"); // a name the dialog shows once it has read the folder
    QTest::newRow("Import Links File") << int(Command::ImportLinks) << u"links.txt"_s;
    QTest::newRow("Import Script, Original, Yes") << int(Command::ImportOriginal) << u"font"_s;
}

void tst_Locks::dialogs()
{
    QFETCH(int, command);
    QFETCH(QString, listed);
    TestHome home;
    QVERIFY(home.execute(u"INSERT INTO field VALUES ('a.txt', 1, 'Hi', 24, 2, '', 1, 0, 'Hola', 0, 0)"_s));
    QFile links(home.filePath(u"links.txt"_s));
    QVERIFY(links.open(QIODevice::WriteOnly));
    links.close();
    // A folder picker used for the first time starts at the home folder: here
    // the home folder is the program folder.
    QTemporaryDir user;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(user.path()));

    MessageRecorder messages;
    messages.answerWith({Messages::Answer::Yes});
    MainWindow window(home.path());
    QVERIFY(window.load());
    window.findChild<QAction *>(u"mnuAutoGuar"_s)->setChecked(false);

    // The folder is small: its names arrive in one batch, so once one is
    // listed every file of it has been looked at.
    bool listedSeen = false;
    int ticks = 0;
    QTimer closer;
    closer.setInterval(10);
    connect(&closer, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        auto *model = dialog ? dialog->findChild<QFileSystemModel *>() : nullptr;
        listedSeen = model && model->index(QDir(dialog->directory()).filePath(listed)).isValid();
        if (dialog && (listedSeen || ++ticks > 1000))
            dialog->reject();
    });
    closer.start();
    window.runCommand(Command(command));
    closer.stop();
    QVERIFY(listedSeen);

    const CliRun save = runCli(home.path(), {u"save"_s, u"field"_s, u"a.txt"_s, u"1"_s, u"--translation"_s, u"Cli"_s});
    QCOMPARE(save.status, 0);
    QVERIFY(QFileInfo::exists(home.storePath() + u"-wal"_s));
    Result<ResultSet> read = window.db().query(u"SELECT text_data_t FROM field WHERE file_name = 'a.txt'"_s);
    QVERIFY2(read.ok(), qPrintable(read.error().message));
    QVERIFY(read->next());
    QCOMPARE(read->text(0), u"Cli"_s);
    QVERIFY(window.db().execute(u"UPDATE field SET text_data_t = 'Editor' WHERE file_name = 'a.txt'"_s));
    QVERIFY(runCli(home.path(), {u"block"_s, u"field"_s, u"a.txt"_s, u"1"_s}).out.contains(u"Editor"_s));
}

QTEST_MAIN(tst_Locks)
#include "tst_locks.moc"
