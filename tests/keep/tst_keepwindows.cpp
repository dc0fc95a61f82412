#include "app/historycontroller.h"
#include "app/startupcheck.h"
#include "store/backup.h"
#include "store/blockedit.h"
#include "store/widgets/historywindow.h"
#include "store/widgets/restorewindow.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/storedblock.h"
#include "tests/support/testhome.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

using namespace Qt::StringLiterals;
using Messages::Answer;

namespace {

QString storedText(const TestHome &home)
{
    Database db;
    return openStore(db, home.storePath()) ? storedRow(db, StoredBlock()).value(2).toString() : QString();
}

} // namespace

class tst_KeepWindows : public QObject
{
    Q_OBJECT

private slots:
    void restoreWindowRestoresOnlyOnYes_data();
    void restoreWindowRestoresOnlyOnYes();
    void aVersionComesBackAsOneUndoableEdit();
    void startUp_data();
    void startUp();
};

void tst_KeepWindows::restoreWindowRestoresOnlyOnYes_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::newRow("yes") << Answer::Yes;
    QTest::newRow("no") << Answer::No;
}

void tst_KeepWindows::restoreWindowRestoresOnlyOnYes()
{
    QFETCH(Answer, answer);
    TestHome home(TestHome::StoreOnly);
    QVERIFY(insertBlock(home, StoredBlock()));
    QVERIFY(Backups::makeBackup(home.path(), Backups::Reason::Daily).ok);
    QVERIFY(home.execute(u"UPDATE field SET text_data = 'Later.'"_s));
    MessageRecorder messages;
    messages.answerWith({answer});

    RestoreWindow window(home.path());
    QSignalSpy restored(&window, &RestoreWindow::restored);
    QCOMPARE(window.findChild<QTreeWidget *>(u"backupList"_s)->topLevelItemCount(), 1);
    QCOMPARE(window.restoreSelected(), answer == Answer::Yes);
    QCOMPARE(restored.count(), answer == Answer::Yes ? 1 : 0);
    QCOMPARE(storedText(home), answer == Answer::Yes ? StoredBlock().text : u"Later."_s);
}

void tst_KeepWindows::aVersionComesBackAsOneUndoableEdit()
{
    TestHome home(TestHome::StoreOnly);
    StoredBlock row;
    row.translated = 1;
    row.textT = u"Primera.<End of Block>"_s;
    QVERIFY(insertBlock(home, row));
    Database db;
    QVERIFY(openStore(db, home.storePath()));
    QVERIFY(saveBlock(db, u"field:0012.txt;3"_s, u"3"_s, {u"Segunda.<End of Block>"_s, u"ojo"_s, true}, nullptr).ok);

    QWidget window;
    QTextEdit translation;
    QPlainTextEdit comment;
    QCheckBox revised;
    QAction entry(nullptr);
    HistoryController history({&translation, &comment, &revised, &entry}, home.storePath(), window);
    QVERIFY(!entry.isEnabled());
    history.setOpenBlock(u"field:0012.txt;3"_s);
    QVERIFY(entry.isEnabled());
    translation.setPlainText(u"Segunda.<End of Block>"_s);

    // The window opens on the newest kept version; Restore takes it.
    QTimer::singleShot(0, [] {
        if (auto *shown = qobject_cast<HistoryWindow *>(QApplication::activeModalWidget()))
            shown->findChild<QPushButton *>(u"restoreButton"_s)->click();
    });
    history.openHistory();
    QCOMPARE(translation.toPlainText(), u"Primera.<End of Block>"_s);
    QCOMPARE(comment.toPlainText(), QString());
    QVERIFY(!revised.isChecked());
    translation.document()->undo();
    QCOMPARE(translation.toPlainText(), u"Segunda.<End of Block>"_s);
}

void tst_KeepWindows::startUp_data()
{
    QTest::addColumn<bool>("damaged");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<int>("backups");
    QTest::newRow("a sound store gets the day's copy") << false << Answer::No << 2;
    QTest::newRow("a damaged store, put back") << true << Answer::Yes << 2;
    QTest::newRow("a damaged store, left") << true << Answer::No << 1;
}

void tst_KeepWindows::startUp()
{
    QFETCH(bool, damaged);
    QFETCH(Answer, answer);
    QFETCH(int, backups);
    TestHome home(TestHome::StoreOnly);
    QVERIFY(insertBlock(home, StoredBlock()));
    const QDateTime yesterday = QDateTime::currentDateTime().addDays(-1);
    QVERIFY(Backups::makeBackup(home.path(), Backups::Reason::Daily, yesterday).ok);
    if (damaged) {
        QFile file(home.storePath());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(4096, 'x')) == 4096);
    }
    MessageRecorder messages;
    messages.answerWith({answer});

    prepareStoreAtStartUp(nullptr, home.path());
    QCOMPARE(int(Backups::listBackups(home.path()).size()), backups);
    QCOMPARE(messages.texts().size(), damaged ? (answer == Answer::Yes ? 2 : 1) : 0);
    if (damaged)
        QVERIFY(messages.texts().first().contains(u"tallowpen-cli restore "_s + Backups::listBackups(home.path()).back().file));
    QCOMPARE(storedText(home), answer == Answer::Yes || !damaged ? StoredBlock().text : QString());
}

QTEST_MAIN(tst_KeepWindows)
#include "tst_keepwindows.moc"
