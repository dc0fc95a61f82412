#include "app/mainwindow.h"
#include "app/ui/folderpicker.h"
#include "scripts/originalimport.h"
#include "store/widgets/scripttree.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/testhome.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QTreeView>

using namespace Qt::StringLiterals;
using Messages::Answer;

namespace {

// Answers the folder picker and notes what the window looked like then.
class PickerStub
{
public:
    explicit PickerStub(QString answer)
        : m_answer(std::move(answer))
    {
        m_previous = FolderPicker::setHandler([this](QWidget *owner, const QString &title) {
            titles << title;
            if (auto *window = qobject_cast<frmMain *>(owner)) {
                const auto &c = window->controls();
                const QList<bool> states = {c.tool->isEnabled(), c.Scripts->isEnabled(), c.mnuSalir->isEnabled(),
                                            c.mnuTools->menuAction()->isEnabled(), c.mnuImpOri->isEnabled(),
                                            c.mnuTradu->menuAction()->isEnabled(), c.mnuEd->menuAction()->isEnabled(),
                                            c.mnuInsertar->menuAction()->isEnabled(), c.mnuNew->isEnabled(),
                                            c.mnuView->isEnabled()};
                anyEnabled = states.contains(true);
                labelText = c.lblMsg->text();
                barShown = !c.prgWork->isHidden();
            }
            return m_answer;
        });
    }
    ~PickerStub() { FolderPicker::setHandler(m_previous); }

    QStringList titles;
    bool anyEnabled = true;
    bool barShown = false;
    QString labelText = u"(not asked)"_s;

private:
    QString m_answer;
    FolderPicker::Handler m_previous;
};

QByteArray block(int number, const QByteArray &body)
{
    return "<TextBlock " + QByteArray::number(number) + " w:24 h:2>\r\n" + body + "<End of Block>\r\n";
}

int rowCount(const TestHome &home, const QString &table)
{
    Database db;
    if (!openStore(db, home.storePath()))
        return -1;
    return db.query(u"SELECT * FROM "_s + table).rowCount();
}

} // namespace

class tst_ImportController : public QObject
{
    Q_OBJECT

private slots:
    void automaticSaveMustBeOff();
    void emptyStoreGoesStraightToThePicker();
    void existingScripts_data();
    void existingScripts();
    void cancelledPickerLeavesTheStoreEmptied();
    void invalidFolder();
    void failureStopsAndKeepsEarlierFiles();
    void startUpShowsTreeAndStatus_data();
    void startUpShowsTreeAndStatus();

private:
    void writeScripts(const TestHome &home);
    QString scriptsPath(const TestHome &home) const { return home.filePath(u"scripts"_s); }
};

void tst_ImportController::writeScripts(const TestHome &home)
{
    const QString base = scriptsPath(home);
    for (const QString &folder : {u"battling_arena"_s, u"battle_script"_s, u"field"_s})
        QVERIFY(QDir().mkpath(base + u'/' + folder));
    const std::pair<const char *, QByteArray> files[] = {
        {"battling_arena/a.txt", block(1, "Ready?\r\n") + block(2, "Go!\r\n")},
        {"battle_script/b.txt", block(1, "")},
        {"field/c.txt", block(4, "Hello.\r\n")},
    };
    for (const auto &[name, bytes] : files) {
        QFile file(base + u'/' + QString::fromLatin1(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
}

void tst_ImportController::automaticSaveMustBeOff()
{
    TestHome home;
    writeScripts(home);
    MessageRecorder recorder;
    PickerStub picker(scriptsPath(home));
    frmMain window(home.path());
    QVERIFY(window.load());
    QVERIFY(window.controls().mnuAutoGuar->isChecked());
    window.runCommand(Command::ImportOriginal);
    QCOMPARE(recorder.texts(), QStringList(u"First disable 'Automatic save' please"_s));
    QVERIFY(picker.titles.isEmpty());
    QCOMPARE(rowCount(home, u"battling_arena"_s), 0);
}

void tst_ImportController::emptyStoreGoesStraightToThePicker()
{
    TestHome home;
    writeScripts(home);
    MessageRecorder recorder;
    PickerStub picker(scriptsPath(home));
    frmMain window(home.path());
    QVERIFY(window.load());
    auto &c = window.controls();
    c.mnuAutoGuar->setChecked(false);
    const bool saveEnabled = c.mnuGuardar->isEnabled();
    QSignalSpy bar(c.prgWork, &QProgressBar::valueChanged);

    window.runCommand(Command::ImportOriginal);

    QVERIFY(recorder.messages.isEmpty()); // no question on an empty store
    QCOMPARE(picker.titles, QStringList(u"Scripts Folder"_s));
    QVERIFY(!picker.anyEnabled);
    QVERIFY(picker.labelText.isEmpty());
    QVERIFY(picker.barShown);

    QCOMPARE(c.lblMsg->text(), u"All the scripts were imported."_s);
    QCOMPARE(c.txtPath->text(), scriptsPath(home));
    QCOMPARE(rowCount(home, u"battling_arena"_s), 2);
    QCOMPARE(rowCount(home, u"field"_s), 1);
    QVERIFY(!bar.isEmpty());
    QCOMPARE(bar.last().at(0).toInt(), 3);
    QVERIFY(c.prgWork->isHidden());

    // The tree is rebuilt: root selected, nothing expanded.
    ScriptTreeModel *tree = ScriptTree::model(*c.Scripts);
    QVERIFY(tree);
    QVERIFY(tree->indexForKey(u"field:c.txt;4"_s).isValid());
    QCOMPARE(ScriptTree::selectedKey(*c.Scripts), u"Root"_s);
    QVERIFY(!c.Scripts->isExpanded(tree->indexForKey(u"Root"_s)));

    for (QAction *action : {c.mnuSalir, c.mnuView, c.mnuImpOri, c.mnuNew, c.mnuTools->menuAction(),
                            c.mnuTradu->menuAction(), c.mnuEd->menuAction(), c.mnuInsertar->menuAction()})
        QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));
    QVERIFY(c.tool->isEnabled());
    QVERIFY(c.Scripts->isEnabled());
    QVERIFY(c.rtxtOriginal->isEnabled());
    QVERIFY(c.rtxtTranslated->isEnabled());
    QCOMPARE(c.mnuGuardar->isEnabled(), saveEnabled);
}

void tst_ImportController::existingScripts_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::newRow("Yes") << Answer::Yes;
    QTest::newRow("No") << Answer::No;
    QTest::newRow("Cancel") << Answer::Cancel;
}

void tst_ImportController::existingScripts()
{
    QFETCH(Answer, answer);
    TestHome home;
    writeScripts(home);
    QVERIFY(home.execute(u"INSERT INTO battling_arena (file_name,dialogue_id,text_data,comments,translated,revised) "
                         "VALUES ('old.txt', 1, 'old', '', 1, 0);"_s));
    QVERIFY(home.execute(u"INSERT INTO field (file_name,dialogue_id) VALUES ('zero.txt', 0);"_s));
    QVERIFY(home.execute(u"INSERT INTO suggestion (word) VALUES ('sword');"_s));
    MessageRecorder recorder;
    recorder.answerWith({answer});
    PickerStub picker(scriptsPath(home));
    frmMain window(home.path());
    QVERIFY(window.load());
    auto &c = window.controls();
    c.mnuAutoGuar->setChecked(false);
    c.rtxtOriginal->setPlainText(u"open block"_s);
    c.rtxtOriginal->setEnabled(true);

    window.runCommand(Command::ImportOriginal);

    QCOMPARE(recorder.messages.size(), 1);
    const Messages::Message &question = recorder.messages.first();
    QCOMPARE(question.text, u"The Original scripts already exist.\r\n"
                            "Do you want to import it and lose all, inclusive link words?"_s);
    QCOMPARE(question.title, u"Warning"_s);
    QCOMPARE(question.buttons, Messages::Buttons::YesNoCancel);
    QCOMPARE(question.icon, Messages::Icon::Warning);

    ScriptTreeModel *tree = ScriptTree::model(*c.Scripts);
    if (answer != Answer::Yes) {
        QVERIFY(picker.titles.isEmpty());
        QCOMPARE(rowCount(home, u"battling_arena"_s), 1);
        QCOMPARE(rowCount(home, u"suggestion"_s), 1);
        QVERIFY(tree->indexForKey(u"battling_arena:old.txt;1"_s).isValid());
        QCOMPARE(c.rtxtOriginal->toPlainText(), u"open block"_s);
        QVERIFY(c.tool->isEnabled());
        QVERIFY(c.mnuTools->menuAction()->isEnabled());
        return;
    }
    QCOMPARE(picker.titles.size(), 1);
    QVERIFY(!picker.anyEnabled);
    QCOMPARE(rowCount(home, u"suggestion"_s), 0);
    QCOMPARE(rowCount(home, u"battling_arena"_s), 2); // old.txt went, a.txt came
    QCOMPARE(rowCount(home, u"field"_s), 2);          // block 0 survives the deletion
    QVERIFY(!tree->indexForKey(u"battling_arena:old.txt;1"_s).isValid());
    QVERIFY(tree->indexForKey(u"battling_arena:a.txt;2"_s).isValid());
    QVERIFY(c.rtxtOriginal->toPlainText().isEmpty());
    QVERIFY(c.tool->isEnabled());
}

void tst_ImportController::cancelledPickerLeavesTheStoreEmptied()
{
    TestHome home;
    QVERIFY(home.execute(u"INSERT INTO battling_arena (file_name,dialogue_id,comments) VALUES ('old.txt', 1, '');"_s));
    MessageRecorder recorder;
    recorder.answerWith({Answer::Yes});
    PickerStub picker{QString()};
    frmMain window(home.path());
    QVERIFY(window.load());
    auto &c = window.controls();
    c.mnuAutoGuar->setChecked(false);
    QVERIFY(ScriptTree::model(*c.Scripts)->isBuilt());

    window.runCommand(Command::ImportOriginal);

    QCOMPARE(picker.titles.size(), 1);
    QCOMPARE(rowCount(home, u"battling_arena"_s), 0);
    QVERIFY(!ScriptTree::model(*c.Scripts)->isBuilt());
    QVERIFY(c.lblMsg->text().isEmpty());
    QVERIFY(c.tool->isEnabled());
    QVERIFY(c.mnuSalir->isEnabled());
    QVERIFY(c.prgWork->isHidden());
}

void tst_ImportController::invalidFolder()
{
    TestHome home;
    const QString elsewhere = home.filePath(u"elsewhere"_s);
    QVERIFY(QDir().mkpath(elsewhere + u"/field"_s));
    MessageRecorder recorder;
    PickerStub picker(elsewhere);
    frmMain window(home.path());
    QVERIFY(window.load());
    auto &c = window.controls();
    c.mnuAutoGuar->setChecked(false);

    window.runCommand(Command::ImportOriginal);

    QCOMPARE(recorder.texts(), QStringList(u"Please select a valid Script Folder,\r\n"
                                           "This must contain the following folders: 'battling_arena', "
                                           "'battle_script',\r\nand 'field'."_s));
    QCOMPARE(c.txtPath->text(), elsewhere);
    QCOMPARE(rowCount(home, u"field"_s), 0);
    QVERIFY(c.tool->isEnabled());
    QVERIFY(c.mnuTools->menuAction()->isEnabled());
}

void tst_ImportController::failureStopsAndKeepsEarlierFiles()
{
    TestHome home;
    writeScripts(home);
    QFile bad(scriptsPath(home) + u"/field/d.txt"_s);
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write(block(1, "") + "<TextBlock 99999 w:1 h:1>\r\n<End of Block>\r\n");
    bad.close();
    MessageRecorder recorder;
    PickerStub picker(scriptsPath(home));
    frmMain window(home.path());
    QVERIFY(window.load());
    auto &c = window.controls();
    c.mnuAutoGuar->setChecked(false);

    window.runCommand(Command::ImportOriginal);

    QVERIFY2(c.lblMsg->text().startsWith(u"Import stopped: field\\d.txt, line 3: the block number 99999"_s),
             qPrintable(c.lblMsg->text()));
    QCOMPARE(rowCount(home, u"field"_s), 1); // c.txt kept, d.txt rolled back
    QVERIFY(ScriptTree::model(*c.Scripts)->indexForKey(u"field:c.txt;4"_s).isValid());
    QVERIFY(c.tool->isEnabled());
    QVERIFY(c.Scripts->isEnabled());
    QVERIFY(recorder.messages.isEmpty());
}

void tst_ImportController::startUpShowsTreeAndStatus_data()
{
    QTest::addColumn<QStringList>("rows"); // table|file|id|translated
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("built");
    QTest::newRow("half translated")
        << QStringList{u"battling_arena|a.txt|1|1"_s, u"battling_arena|a.txt|2|0"_s} << u">Translation status: 50% translated"_s
        << true;
    QTest::newRow("only field holds rows") << QStringList{u"field|a.txt|1|1"_s} << QString() << false;
    QTest::newRow("a name in two tables")
        << QStringList{u"battling_arena|a.txt|1|0"_s, u"field|a.txt|1|1"_s}
        << u">Translation status: 50% translated\nScript tree: Script name a.txt is met twice; the one in field is "
           "shown as \"a.txt [duplicate]\"."_s
        << true;
}

void tst_ImportController::startUpShowsTreeAndStatus()
{
    QFETCH(QStringList, rows);
    QFETCH(QString, label);
    QFETCH(bool, built);
    TestHome home;
    for (const QString &row : rows) {
        const QStringList f = row.split(u'|');
        QVERIFY(home.execute(u"INSERT INTO %1 (file_name,dialogue_id,comments,translated,revised) VALUES ('%2', %3, "
                             "'', %4, 0);"_s.arg(f[0], f[1], f[2], f[3])));
    }
    MessageRecorder recorder;
    frmMain window(home.path());
    QVERIFY(window.load());
    auto &c = window.controls();
    QCOMPARE(c.lblMsg->text(), label);
    ScriptTreeModel *tree = ScriptTree::model(*c.Scripts);
    QVERIFY(tree);
    QCOMPARE(tree->isBuilt(), built);
    if (built) {
        QCOMPARE(ScriptTree::selectedKey(*c.Scripts), u"Root"_s);
        QVERIFY(!c.Scripts->isExpanded(tree->indexForKey(u"Root"_s)));
    }
}

QTEST_MAIN(tst_ImportController)
#include "tst_importcontroller.moc"
