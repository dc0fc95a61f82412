#include "scripts/originalimport.h"
#include "scripts/translatedimport.h"
#include "tests/support/appfixture.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

using Messages::Answer;

namespace {

QByteArray script(int number, const QByteArray &body)
{
    return "<TextBlock " + QByteArray::number(number) + " w:24 h:2>\r\n" + body + "<End of Block>\r\n";
}

// A store holding the blocks of scripts/ and old.txt, old.txt open, and
// automatic save off: where the imports start from.
struct Importing : AppFixture
{
    Importing()
    {
        pickerAnswer = home.filePath(u"scripts"_s);
        ok = write(u"battling_arena/a.txt"_s, script(1, "Ready?\r\n") + script(2, "Go!\r\n"))
            && write(u"battle_script/b.txt"_s, script(1, "")) && write(u"field/c.txt"_s, script(4, "Hello.\r\n"))
            && start({block(u"battling_arena:a.txt;1"_s, u"x"_s), block(u"battling_arena:a.txt;2"_s, u"x"_s),
                      block(u"battle_script:b.txt;1"_s, u"x"_s), block(u"field:c.txt;4"_s, u"x"_s),
                      block(u"battling_arena:old.txt;1"_s, u"old"_s)})
            && open(u"battling_arena:old.txt;1"_s);
        control<QAction>(u"mnuAutoGuar"_s)->trigger();
    }
    bool write(const QString &name, const QByteArray &bytes) const { return home.write(u"scripts/"_s + name, bytes); }
    // Whether each control an import greys is enabled now.
    QList<bool> greyable() const
    {
        QList<bool> states{control(u"tool"_s)->isEnabled(), control(u"Scripts"_s)->isEnabled()};
        for (const char *name : {"mnuSalir", "mnuImpOri", "mnuNew", "mnuSearch"})
            states << control<QAction>(QLatin1StringView(name))->isEnabled();
        for (const char *name : {"mnuTools", "mnuTradu", "mnuEd", "mnuInsertar"})
            states << control<QMenu>(QLatin1StringView(name))->menuAction()->isEnabled();
        return states;
    }
    bool ok = false;
};

} // namespace

class tst_ImportController : public QObject
{
    Q_OBJECT

private slots:
    void imports_data();
    void imports();
    void aFailingTranslationFolderIsShown();
    void enterKeepsTheScripts();
};

void tst_ImportController::imports_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<Answer>("answer");  // to "the original scripts already exist"
    QTest::addColumn<QString>("folder"); // picked under the program folder; empty: Cancel
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("arenaRows");
    const QString refused = u"automatic save on"_s; // a folder that turns it on again
    const QString tr = u"mnuImpTra"_s, ori = u"mnuImpOri"_s;
    const QString open = u"[battling_arena] - [old.txt] - [1]"_s; // lblMsg left alone
    QTest::newRow("original, automatic save on") << ori << Answer::Yes << refused
                                                 << u"First disable 'Automatic save' please"_s << open << 3;
    QTest::newRow("original, Cancel to the question") << ori << Answer::Cancel << u"scripts"_s << QString() << open
                                                      << 3;
    // Nothing goes before a folder is picked and found good.
    QTest::newRow("original, cancelled") << ori << Answer::Yes << QString() << QString() << QString() << 3;
    QTest::newRow("original, no scripts folder") << ori << Answer::Yes << u"scripts/field"_s
                                                 << OriginalImport::InvalidFolder << QString() << 3;
    QTest::newRow("original") << ori << Answer::Yes << u"scripts"_s << QString() << OriginalImport::AllImported << 2;
    QTest::newRow("translated, automatic save on") << tr << Answer::Yes << refused
                                                   << u"Disable first 'Automatic save' please"_s << open << 3;
    QTest::newRow("translated, cancelled") << tr << Answer::Yes << QString() << QString() << QString() << 3;
    QTest::newRow("translated, no scripts folder") << tr << Answer::Yes << u"scripts/field"_s
                                                   << OriginalImport::InvalidFolder << QString() << 3;
    QTest::newRow("translated") << tr << Answer::Yes << u"scripts"_s << QString() << TranslatedImport::AllImported
                                << 3;
}

void tst_ImportController::imports()
{
    QFETCH(QString, entry);
    QFETCH(Answer, answer);
    QFETCH(QString, folder);
    QFETCH(QString, message);
    QFETCH(QString, status);
    QFETCH(int, arenaRows);
    Importing f;
    QVERIFY(f.ok);
    const bool original = entry == u"mnuImpOri";
    const bool refused = folder == u"automatic save on";
    if (refused)
        f.control<QAction>(u"mnuAutoGuar"_s)->trigger();
    f.messages.answerWith({answer});
    f.pickerAnswer = folder.isEmpty() ? QString() : f.home.filePath(folder);
    const QList<bool> before = f.greyable();
    QList<bool> atPick;
    bool viewAtHand = false, barShown = false;
    QString shown = u"(not asked)"_s;
    f.atPick = [&] {
        atPick = f.greyable();
        viewAtHand = f.control<QAction>(u"mnuView"_s)->isEnabled();
        barShown = !f.control(u"progressBar"_s)->isHidden();
        shown = f.control<QLabel>(u"lblMsg"_s)->text() + f.control<QTextEdit>(u"rtxtOriginal"_s)->toPlainText();
    };
    f.control<QAction>(entry)->trigger();

    QStringList messages{message};
    if (original && !refused)
        messages.prepend(OriginalImport::Question);
    messages.removeAll(QString());
    QCOMPARE(f.messages.texts(), messages);
    const bool picked = !refused && answer == Answer::Yes;
    QCOMPARE(f.pickerTitles, picked ? QStringList{u"Scripts Folder"_s} : QStringList());
    if (picked) {
        QVERIFY(!atPick.contains(true) && barShown && shown.isEmpty());
        QCOMPARE(viewAtHand, !original);
        QCOMPARE(f.control<QLineEdit>(u"txtPath"_s)->text(), f.pickerAnswer);
    }
    QCOMPARE(f.greyable(), before);
    QVERIFY(f.control(u"progressBar"_s)->isHidden());
    QCOMPARE(f.control<QLabel>(u"lblMsg"_s)->text(), status);
    QCOMPARE(f.value(u"SELECT count(*) FROM battling_arena"_s).toInt(), arenaRows);
    // After an import the tree is built again.
    if (status.endsWith(u"imported."))
        QCOMPARE(ScriptTree::selectedKey(*f.control<QTreeView>(u"Scripts"_s)), u"Root"_s);
}

void tst_ImportController::aFailingTranslationFolderIsShown()
{
    Importing f;
    QVERIFY(f.ok && f.write(u"battling_arena/a.txt"_s, script(70000, "A\r\n")));
    f.control<QAction>(u"mnuImpTra"_s)->trigger();
    QCOMPARE(f.messages.texts().size(), 1);
    QVERIFY2(f.messages.texts().first().contains(u"battling_arena/a.txt, line 1"_s),
             qPrintable(f.messages.texts().first()));
    QCOMPARE(f.control<QLabel>(u"lblMsg"_s)->text(), TranslatedImport::AllImported); // field came last
}

void tst_ImportController::enterKeepsTheScripts()
{
    Importing f;
    QVERIFY(f.ok);
    // The real question box, answered by the key a hurried user presses.
    const Messages::Handler recorder = Messages::setHandler({});
    QTimer::singleShot(0, [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Enter); });
    f.control<QAction>(u"mnuImpOri"_s)->trigger();
    Messages::setHandler(recorder);
    QVERIFY(f.pickerTitles.isEmpty());
    QCOMPARE(f.value(u"SELECT count(*) FROM battling_arena"_s).toInt(), 3);
}

QTEST_MAIN(tst_ImportController)
#include "tst_importcontroller.moc"
