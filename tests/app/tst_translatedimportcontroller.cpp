#include "app/blockeditcontroller.h"
#include "app/mainwindow.h"
#include "app/ui/folderpicker.h"
#include "store/scripttreemodel.h"
#include "store/widgets/scripttree.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/storedblock.h"
#include "tests/support/testhome.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

using namespace Qt::StringLiterals;

class tst_TranslatedImportController : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void refusedWhileAutomaticSaveIsOn();
    void controlsWhileThePickerIsOpen();
    void cancelOrAWrongFolderChangesNothing_data();
    void cancelOrAWrongFolderChangesNothing();
    void importsAndRebuildsTheTree();
    void aFailingFolderIsReported();

private:
    void pickFolder(const QString &answer);
    bool writeScript(const QString &folder, const QString &name, const QByteArray &bytes);

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<QTemporaryDir> m_scripts;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<MainWindow> m_window;
    MainControls *m_c = nullptr;
    FolderPicker::Handler m_previousPicker;
    int m_picks = 0;
    // The controls as the picker found them.
    bool m_anyDisabledControlEnabled = true;
    bool m_viewEnabled = false;
    QString m_labelAtPick = u"(not asked)"_s;
    QString m_originalAtPick = u"(not asked)"_s;
};

void tst_TranslatedImportController::pickFolder(const QString &answer)
{
    m_previousPicker = FolderPicker::setHandler([this, answer](QWidget *, const QString &title) {
        ++m_picks;
        if (title != u"Scripts Folder")
            return QString();
        const QList<bool> states = {m_c->tool->isEnabled(),
                                    m_c->Scripts->isEnabled(),
                                    m_c->mnuSalir->isEnabled(),
                                    m_c->mnuTools->menuAction()->isEnabled(),
                                    m_c->mnuTradu->menuAction()->isEnabled(),
                                    m_c->mnuEd->menuAction()->isEnabled(),
                                    m_c->mnuInsertar->menuAction()->isEnabled()};
        m_anyDisabledControlEnabled = states.contains(true);
        m_viewEnabled = m_c->mnuView->isEnabled();
        m_labelAtPick = m_c->lblMsg->text();
        m_originalAtPick = m_c->rtxtOriginal->toPlainText();
        return answer;
    });
}

bool tst_TranslatedImportController::writeScript(const QString &folder, const QString &name, const QByteArray &bytes)
{
    if (!QDir(m_scripts->path()).mkpath(folder))
        return false;
    QFile file(m_scripts->filePath(folder + u'/' + name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void tst_TranslatedImportController::init()
{
    m_home = std::make_unique<TestHome>();
    m_scripts = std::make_unique<QTemporaryDir>();
    StoredBlock b;
    b.table = u"battling_arena"_s;
    b.file = u"a.txt"_s;
    b.id = 1;
    b.comments = u"mine"_s;
    b.revised = 1;
    QVERIFY(insertBlock(*m_home, b));
    b.table = u"field"_s;
    b.file = u"f.txt"_s;
    QVERIFY(insertBlock(*m_home, b));
    QVERIFY(writeScript(u"battle_script"_s, u"none.txt"_s, QByteArray()));

    m_messages = std::make_unique<MessageRecorder>();
    m_window = std::make_unique<MainWindow>(m_home->path());
    QVERIFY(m_window->load());
    m_c = &m_window->controls();
    m_c->saveTime->stop();
    QVERIFY(ScriptTree::model(*m_c->Scripts)->isBuilt());
    QVERIFY(BlockEditController::of(*m_window)->selectAndLoad(u"field:f.txt;1"_s));
    m_picks = 0;
}

void tst_TranslatedImportController::cleanup()
{
    FolderPicker::setHandler(m_previousPicker);
    m_window.reset();
    m_messages.reset();
    m_home.reset();
}

void tst_TranslatedImportController::refusedWhileAutomaticSaveIsOn()
{
    pickFolder(m_scripts->path());
    m_c->mnuImpTra->trigger();
    QCOMPARE(m_messages->texts(), QStringList{u"Disable first 'Automatic save' please"_s});
    QCOMPARE(m_picks, 0);
    QVERIFY(!m_c->rtxtOriginal->toPlainText().isEmpty());
}

void tst_TranslatedImportController::controlsWhileThePickerIsOpen()
{
    m_c->mnuAutoGuar->trigger();
    pickFolder(QString());
    m_c->mnuImpTra->trigger();
    QCOMPARE(m_picks, 1);
    QVERIFY(!m_anyDisabledControlEnabled);
    QVERIFY(m_viewEnabled);
    QVERIFY(m_labelAtPick.isEmpty());
    QVERIFY(m_originalAtPick.isEmpty());
    QVERIFY(m_c->rtxtTranslated->toPlainText().isEmpty());
    // Cancelled: everything back.
    for (QWidget *w : {static_cast<QWidget *>(m_c->tool), static_cast<QWidget *>(m_c->Scripts)})
        QVERIFY(w->isEnabled());
    QVERIFY(m_c->mnuSalir->isEnabled());
    QVERIFY(m_c->mnuTradu->menuAction()->isEnabled());
    QVERIFY(m_c->prgWork->isHidden());
}

void tst_TranslatedImportController::cancelOrAWrongFolderChangesNothing_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("cancelled") << true << QStringList();
    QTest::newRow("no battle_script inside")
        << false
        << QStringList{u"Please select a valid Script Folder,\r\nThis must contain the following folders: "
                       "'battling_arena', 'battle_script',\r\nand 'field'."_s};
}

void tst_TranslatedImportController::cancelOrAWrongFolderChangesNothing()
{
    QFETCH(bool, cancel);
    QFETCH(QStringList, messages);
    m_c->mnuAutoGuar->trigger();
    QVERIFY(QDir(m_scripts->filePath(u"battle_script"_s)).removeRecursively());
    QVERIFY(writeScript(u"field"_s, u"f.txt"_s, "<TextBlock 1 w:1 h:1>\r\nX<End of Block>\r\n"));
    pickFolder(cancel ? QString() : m_scripts->path());
    const qint64 before = m_window->db().changedRows();
    m_c->mnuImpTra->trigger();
    QCOMPARE(m_messages->texts(), messages);
    QCOMPARE(m_window->db().changedRows(), before);
    QVERIFY(m_c->Scripts->isEnabled());
}

void tst_TranslatedImportController::importsAndRebuildsTheTree()
{
    m_c->mnuAutoGuar->trigger();
    QVERIFY(writeScript(u"field"_s, u"f.txt"_s, "<TextBlock 1 w:9 h:9>\r\nIt's done.<End of Block>\r\n"));
    pickFolder(m_scripts->path());
    m_c->mnuImpTra->trigger();
    QVERIFY(m_messages->messages.isEmpty());
    QCOMPARE(m_c->txtPath->text(), m_scripts->path());
    QCOMPARE(m_c->lblMsg->text(), u"All the translated scripts were imported."_s);
    const QVariantList stored = storedRow(m_window->db(), u"field"_s, u"f.txt"_s, 1);
    QCOMPARE(stored.value(8).toString(), u"It`s done.<End of Block>"_s);
    QCOMPARE(stored.value(5).toString(), u"mine"_s);
    QCOMPARE(stored.mid(6, 2), QVariantList({1, 0}));
    ScriptTreeModel *tree = ScriptTree::model(*m_c->Scripts);
    QCOMPARE(tree->image(tree->indexForKey(u"field:f.txt;1"_s)), 5);
    QCOMPARE(m_c->Scripts->currentIndex(), tree->indexForKey(u"Root"_s));
    QVERIFY(BlockEditController::of(*m_window)->openKey().isEmpty());
    QVERIFY(m_c->tool->isEnabled());
}

void tst_TranslatedImportController::aFailingFolderIsReported()
{
    m_c->mnuAutoGuar->trigger();
    QVERIFY(writeScript(u"battling_arena"_s, u"a.txt"_s, "<TextBlock 70000 w:1 h:1>\r\nA<End of Block>\r\n"));
    QVERIFY(writeScript(u"field"_s, u"f.txt"_s, "<TextBlock 1 w:9 h:9>\r\nF<End of Block>\r\n"));
    pickFolder(m_scripts->path());
    m_c->mnuImpTra->trigger();
    QCOMPARE(m_messages->messages.size(), 1);
    QVERIFY2(m_messages->texts().first().contains(u"battling_arena\\a.txt, line 1"_s),
             qPrintable(m_messages->texts().first()));
    QCOMPARE(m_c->lblMsg->text(), u"All the translated scripts were imported."_s); // field came last
    QCOMPARE(storedRow(m_window->db(), u"field"_s, u"f.txt"_s, 1).value(8).toString(), u"F<End of Block>"_s);
}

QTEST_MAIN(tst_TranslatedImportController)
#include "tst_translatedimportcontroller.moc"
