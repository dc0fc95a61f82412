#include "app/mainwindow.h"
#include "app/ui/folderpicker.h"
#include "store/widgets/scripttree.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/testhome.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
    PickerStub()
    {
        m_previous = FolderPicker::setHandler([this](QWidget *owner, const QString &title) {
            titles << title;
            if (auto *window = qobject_cast<MainWindow *>(owner)) {
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
            return answer;
        });
    }
    ~PickerStub() { FolderPicker::setHandler(m_previous); }

    QString answer; // empty: the user cancels
    QStringList titles;
    bool anyEnabled = true;
    bool barShown = false;
    QString labelText = u"(not asked)"_s;

private:
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

void writeScripts(const QString &base)
{
    const std::pair<const char *, QByteArray> files[] = {
        {"battling_arena/a.txt", block(1, "Ready?\r\n") + block(2, "Go!\r\n")},
        {"battle_script/b.txt", block(1, "")},
        {"field/c.txt", block(4, "Hello.\r\n")},
    };
    for (const auto &[name, bytes] : files) {
        const QString path = base + u'/' + QString::fromLatin1(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }
}

// A program folder with scripts/ ready to import, message boxes and the
// folder picker answered, and the main window on it; load() once the store
// holds what the test needs.
struct Session
{
    TestHome home;
    MessageRecorder recorder;
    PickerStub picker;
    MainWindow window{home.path()};
    MainControls &c = window.controls();

    Session()
    {
        writeScripts(scripts());
        picker.answer = scripts();
    }
    QString scripts() const { return home.filePath(u"scripts"_s); }
    bool load(bool automaticSave = false)
    {
        if (!window.load())
            return false;
        c.mnuAutoGuar->setChecked(automaticSave);
        return true;
    }
    int rows(const QString &table) const { return rowCount(home, table); }
};

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
};

void tst_ImportController::automaticSaveMustBeOff()
{
    Session s;
    QVERIFY(s.load(true));
    s.window.runCommand(Command::ImportOriginal);
    QCOMPARE(s.recorder.texts(), QStringList(u"First disable 'Automatic save' please"_s));
    QVERIFY(s.picker.titles.isEmpty());
    QCOMPARE(s.rows(u"battling_arena"_s), 0);
}

void tst_ImportController::emptyStoreGoesStraightToThePicker()
{
    Session s;
    QVERIFY(s.load());
    auto &c = s.c;
    const bool saveEnabled = c.mnuGuardar->isEnabled();
    QSignalSpy bar(c.prgWork, &QProgressBar::valueChanged);

    s.window.runCommand(Command::ImportOriginal);

    QVERIFY(s.recorder.messages.isEmpty()); // no question on an empty store
    QCOMPARE(s.picker.titles, QStringList(u"Scripts Folder"_s));
    QVERIFY(!s.picker.anyEnabled);
    QVERIFY(s.picker.labelText.isEmpty());
    QVERIFY(s.picker.barShown);

    QCOMPARE(c.lblMsg->text(), u"All the scripts were imported."_s);
    QCOMPARE(c.txtPath->text(), s.scripts());
    QCOMPARE(s.rows(u"battling_arena"_s), 2);
    QCOMPARE(s.rows(u"field"_s), 1);
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
    Session s;
    QVERIFY(s.home.execute(u"INSERT INTO battling_arena (file_name,dialogue_id,text_data,comments,translated,revised) "
                           "VALUES ('old.txt', 1, 'old', '', 1, 0);"_s));
    QVERIFY(s.home.execute(u"INSERT INTO field (file_name,dialogue_id) VALUES ('zero.txt', 0);"_s));
    QVERIFY(s.home.execute(u"INSERT INTO suggestion (word) VALUES ('sword');"_s));
    s.recorder.answerWith({answer});
    QVERIFY(s.load());
    auto &c = s.c;
    c.rtxtOriginal->setPlainText(u"open block"_s);
    c.rtxtOriginal->setEnabled(true);

    s.window.runCommand(Command::ImportOriginal);

    QCOMPARE(s.recorder.messages.size(), 1);
    const Messages::Message &question = s.recorder.messages.first();
    QCOMPARE(question.text, u"The Original scripts already exist.\r\n"
                            "Do you want to import it and lose all, inclusive link words?"_s);
    QCOMPARE(question.title, u"Warning"_s);
    QCOMPARE(question.buttons, Messages::Buttons::YesNoCancel);
    QCOMPARE(question.icon, Messages::Icon::Warning);

    ScriptTreeModel *tree = ScriptTree::model(*c.Scripts);
    if (answer != Answer::Yes) {
        QVERIFY(s.picker.titles.isEmpty());
        QCOMPARE(s.rows(u"battling_arena"_s), 1);
        QCOMPARE(s.rows(u"suggestion"_s), 1);
        QVERIFY(tree->indexForKey(u"battling_arena:old.txt;1"_s).isValid());
        QCOMPARE(c.rtxtOriginal->toPlainText(), u"open block"_s);
        QVERIFY(c.tool->isEnabled());
        QVERIFY(c.mnuTools->menuAction()->isEnabled());
        return;
    }
    QCOMPARE(s.picker.titles.size(), 1);
    QVERIFY(!s.picker.anyEnabled);
    QCOMPARE(s.rows(u"suggestion"_s), 0);
    QCOMPARE(s.rows(u"battling_arena"_s), 2); // old.txt went, a.txt came
    QCOMPARE(s.rows(u"field"_s), 2);          // block 0 survives the deletion
    QVERIFY(!tree->indexForKey(u"battling_arena:old.txt;1"_s).isValid());
    QVERIFY(tree->indexForKey(u"battling_arena:a.txt;2"_s).isValid());
    QVERIFY(c.rtxtOriginal->toPlainText().isEmpty());
    QVERIFY(c.tool->isEnabled());
}

void tst_ImportController::cancelledPickerLeavesTheStoreEmptied()
{
    Session s;
    QVERIFY(s.home.execute(u"INSERT INTO battling_arena (file_name,dialogue_id,comments) VALUES ('old.txt', 1, '');"_s));
    s.recorder.answerWith({Answer::Yes});
    s.picker.answer.clear();
    QVERIFY(s.load());
    auto &c = s.c;
    QVERIFY(ScriptTree::model(*c.Scripts)->isBuilt());

    s.window.runCommand(Command::ImportOriginal);

    QCOMPARE(s.picker.titles.size(), 1);
    QCOMPARE(s.rows(u"battling_arena"_s), 0);
    QVERIFY(!ScriptTree::model(*c.Scripts)->isBuilt());
    QVERIFY(c.lblMsg->text().isEmpty());
    QVERIFY(c.tool->isEnabled());
    QVERIFY(c.mnuSalir->isEnabled());
    QVERIFY(c.prgWork->isHidden());
}

void tst_ImportController::invalidFolder()
{
    Session s;
    s.picker.answer = s.home.filePath(u"elsewhere"_s);
    QVERIFY(QDir().mkpath(s.picker.answer + u"/field"_s));
    QVERIFY(s.load());

    s.window.runCommand(Command::ImportOriginal);

    QCOMPARE(s.recorder.texts(), QStringList(u"Please select a valid Script Folder,\r\n"
                                             "This must contain the following folders: 'battling_arena', "
                                             "'battle_script',\r\nand 'field'."_s));
    QCOMPARE(s.c.txtPath->text(), s.picker.answer);
    QCOMPARE(s.rows(u"field"_s), 0);
    QVERIFY(s.c.tool->isEnabled());
    QVERIFY(s.c.mnuTools->menuAction()->isEnabled());
}

void tst_ImportController::failureStopsAndKeepsEarlierFiles()
{
    Session s;
    QFile bad(s.scripts() + u"/field/d.txt"_s);
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write(block(1, "") + "<TextBlock 99999 w:1 h:1>\r\n<End of Block>\r\n");
    bad.close();
    QVERIFY(s.load());

    s.window.runCommand(Command::ImportOriginal);

    auto &c = s.c;
    QVERIFY2(c.lblMsg->text().startsWith(u"Import stopped: field\\d.txt, line 3: the block number 99999"_s),
             qPrintable(c.lblMsg->text()));
    QCOMPARE(s.rows(u"field"_s), 1); // c.txt kept, d.txt rolled back
    QVERIFY(ScriptTree::model(*c.Scripts)->indexForKey(u"field:c.txt;4"_s).isValid());
    QVERIFY(c.tool->isEnabled());
    QVERIFY(c.Scripts->isEnabled());
    QVERIFY(s.recorder.messages.isEmpty());
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
    Session s;
    for (const QString &row : rows) {
        const QStringList f = row.split(u'|');
        QVERIFY(s.home.execute(u"INSERT INTO %1 (file_name,dialogue_id,comments,translated,revised) VALUES ('%2', %3, "
                             "'', %4, 0);"_s.arg(f[0], f[1], f[2], f[3])));
    }
    QVERIFY(s.load(true));
    auto &c = s.c;
    QCOMPARE(c.lblMsg->text(), label);
    ScriptTreeModel *tree = ScriptTree::model(*c.Scripts);
    QVERIFY(tree);
    QCOMPARE(tree->isBuilt(), built);
    if (built) {
        const QModelIndex root = tree->indexForKey(u"Root"_s);
        QVERIFY(!tree->data(root, Qt::DecorationRole).value<QIcon>().isNull()); // the tree images are linked in
        QCOMPARE(ScriptTree::selectedKey(*c.Scripts), u"Root"_s);
        QVERIFY(!c.Scripts->isExpanded(tree->indexForKey(u"Root"_s)));
    }
}

QTEST_MAIN(tst_ImportController)
#include "tst_importcontroller.moc"
