#include "app/blockeditcontroller.h"
#include "app/exchangecontroller.h"
#include "app/mainwindow.h"
#include "editor/widgets/translatededit.h"
#include "exchange/machinedraft.h"
#include "exchange/widgets/exportfortranslationdialog.h"
#include "exchange/xliff.h"
#include "memory/widgets/memorypanel.h"
#include "store/database.h"
#include "store/widgets/scripttree.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/storedblock.h"
#include "tests/support/testhome.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {
const QString Open = u"field:a.txt;1"_s;
}

// Wiring only: the Tools entries, the import's question and its batch, and
// the machine draft in the memory panel.
class tst_ExchangeController : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void exportFromTheToolsMenu();
    void importAsksThenSavesAndReloads();
    void thePanelSaysHowToInstallTheEngine();
    void theDraftIsInsertedByTheNextKey();

private:
    void start();
    bool openKey(const QString &key);
    TranslatedEdit *editor() const { return m_window->findChild<TranslatedEdit *>(u"rtxtTranslated"_s); }

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<MainWindow> m_window;
};

void tst_ExchangeController::init()
{
    m_home = std::make_unique<TestHome>();
    // The tree is built only when battling_arena holds blocks.
    QVERIFY(insertBlock(*m_home, {u"battling_arena"_s, u"z.txt"_s, 1, u"Fight!<End of Block>"_s, 24, 2, {}, 0, 0, {}}));
    QVERIFY(insertBlock(*m_home, {u"field"_s, u"a.txt"_s, 1, u"<Pellan>\r\nHello, my friend.<End of Block>"_s, 24, 2,
                                  {}, 0, 0, {}}));
    QVERIFY(insertBlock(*m_home, {u"field"_s, u"a.txt"_s, 2, u"Bye.<End of Block>"_s, 24, 2, {}, 1, 0, u"Adiós."_s}));
    m_messages = std::make_unique<MessageRecorder>();
}

void tst_ExchangeController::start()
{
    m_window = std::make_unique<MainWindow>(m_home->path());
    QVERIFY(m_window->load());
    m_window->findChild<QTimer *>(u"saveTime"_s)->stop();
    QVERIFY2(openKey(Open), qPrintable(m_messages->texts().join(u'\n')));
}

bool tst_ExchangeController::openKey(const QString &key)
{
    auto *tree = m_window->findChild<QTreeView *>(u"Scripts"_s);
    auto *edit = m_window->findChild<BlockEditController *>();
    if (!tree || !edit || !ScriptTree::selectKey(*tree, key))
        return false;
    edit->openBlock(tree->currentIndex());
    return true;
}

void tst_ExchangeController::cleanup()
{
    m_window.reset();
    m_messages.reset();
    m_home.reset();
    qunsetenv("TALLOWPEN_APERTIUM_MODE");
}

void tst_ExchangeController::exportFromTheToolsMenu()
{
    start();
    const QString target = m_home->filePath(u"out.xlf"_s);
    QString script;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<ExportForTranslationDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        script = dialog->scope().script; // preselected from the open block
        dialog->findChild<QLineEdit *>(u"targetEdit"_s)->setText(target);
        dialog->accept();
    });
    m_window->findChild<QAction *>(u"exportForTranslationAction"_s)->trigger();
    QCOMPARE(script, u"a.txt"_s);
    QFile written(target);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(readXliff(written.readAll()).value_or({}).units.size(), size_t(2));
    QVERIFY2(m_messages->texts().join(u'\n').contains(u"2 blocks written"_s), qPrintable(m_messages->texts().join(u'\n')));
}

void tst_ExchangeController::importAsksThenSavesAndReloads()
{
    start();
    Database db;
    QVERIFY(openStore(db, m_home->storePath()));
    std::vector<ExchangeUnit> units = readXliff(writeXliff(readExchangeBlocks(db, {}).value_or({}).blocks)).value_or({}).units;
    QCOMPARE(units.size(), size_t(3));
    // An XLIFF file as another tool gives it back, one target filled in.
    std::vector<ExchangeBlock> edited = readExchangeBlocks(db, {}).value_or({}).blocks;
    QCOMPARE(edited[1].address.table, u"field"_s);
    edited[1].translation = u"<Pellan>\r\nHola, amigo.<End of Block>"_s;
    edited[1].translated = true;
    QFile file(m_home->filePath(u"back.xlf"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(writeXliff(edited));
    file.close();
    m_messages->answerWith({Messages::Answer::Yes});
    m_window->findChild<ExchangeController *>()->importFile(file.fileName());
    QVERIFY(m_messages->texts().value(0).contains(u"changes the translation of 1 blocks"_s));
    QVERIFY(m_messages->texts().value(1).contains(u"1 blocks saved"_s));
    QCOMPARE(editor()->toPlainText(), u"<Pellan>\nHola, amigo.<End of Block>"_s);
    const ScriptTreeModel *model = ScriptTree::model(*m_window->findChild<QTreeView *>(u"Scripts"_s));
    QCOMPARE(model->image(model->indexForKey(Open)), int(ScriptTreeModel::Translated));
}

void tst_ExchangeController::thePanelSaysHowToInstallTheEngine()
{
    qputenv("TALLOWPEN_APERTIUM_MODE", "/nonexistent/eng-spa.mode");
    start();
    const QString panel = m_window->findChild<MemoryPanel *>()->matchesView()->toPlainText();
    QVERIFY2(panel.contains(u"sudo apt install apertium-eng-spa"_s), qPrintable(panel));
}

void tst_ExchangeController::theDraftIsInsertedByTheNextKey()
{
    qputenv("TALLOWPEN_APERTIUM_MODE", "/usr/share/apertium/modes/eng-spa.mode");
    if (const auto missing = machineDraftsMissing())
        QSKIP(qPrintable(*missing));
    start();
    QTextBrowser *view = m_window->findChild<MemoryPanel *>()->matchesView();
    // One match (block 2 is not like it): none, so the draft takes Ctrl+1.
    QTRY_VERIFY_WITH_TIMEOUT(view->toPlainText().contains(u"Ctrl+1   Machine draft"_s), 20000);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    editor()->setFocus();
    QTest::keyClick(editor(), Qt::Key_1, Qt::ControlModifier);
    QVERIFY2(editor()->toPlainText().startsWith(u"<Pellan>\nHola"_s), qPrintable(editor()->toPlainText()));
}

QTEST_MAIN(tst_ExchangeController)
#include "tst_exchangecontroller.moc"
