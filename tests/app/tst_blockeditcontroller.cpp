#include "app/blockeditcontroller.h"
#include "app/mainwindow.h"
#include "app/previewcontroller.h"
#include "store/scripttreemodel.h"
#include "store/widgets/scripttree.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/storedblock.h"
#include "tests/support/testhome.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QTreeView>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

const QString Translated = u"field:0012.txt;1"_s;   // translated and revised, with a comment
const QString Untranslated = u"field:0012.txt;2"_s; // nothing yet
const QString Battle = u"battle_script:b.txt;1"_s;  // resized, untranslated
const QString Duplicate = u"field:dup.txt;1"_s;      // two rows

} // namespace

class tst_BlockEditController : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void clickLoadsTheBlock();
    void theKeyboardLoadsTooButTheProgramDoesNot();
    void revisedFollowsTheBlock_data();
    void revisedFollowsTheBlock();
    void aDuplicateLoadsNothing();
    void automaticSaveWritesAndMarks();
    void anIdleStoreIsNotWritten();
    void saveWithAutomaticSaveOff();
    void saveOnANodeThatIsNotABlock();
    void pendingEditsAreSavedBeforeSwitching_data();
    void pendingEditsAreSavedBeforeSwitching();
    void anUntouchedBlockGoesBackByteForByte();
    void cleanAndClone_data();
    void cleanAndClone();
    void aFailingSaveKeepsTheText();
    void aFailingLoadKeepsTheOpenBlock();
    void viewNeedsALoadedBlock();
    // Last: Exit ends the application's event loop, and no dialog runs after it.
    void pendingEditsAreSavedAtExit();

private:
    bool renameTable(const QString &from, const QString &to);
    QModelIndex node(const QString &key) const { return m_model->indexForKey(key); }
    QString translation() const { return m_c->rtxtTranslated->toPlainText(); }
    QVariantList row(const QString &table, const QString &file, int id)
    {
        return storedRow(m_window->db(), table, file, id);
    }

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<MainWindow> m_window;
    MainControls *m_c = nullptr;
    BlockEditController *m_edit = nullptr;
    ScriptTreeModel *m_model = nullptr;
};

bool tst_BlockEditController::renameTable(const QString &from, const QString &to)
{
    // Behind the program's back, as a broken or foreign store would be.
    sqlite3 *db = nullptr;
    bool ok = sqlite3_open(m_home->storePath().toUtf8().constData(), &db) == SQLITE_OK;
    const QByteArray sql = u"ALTER TABLE %1 RENAME TO %2"_s.arg(from, to).toUtf8();
    ok = ok && sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

void tst_BlockEditController::init()
{
    m_home = std::make_unique<TestHome>();
    StoredBlock b;
    b.id = 1;
    b.text = u"It`s late.<End of Block>"_s;
    b.translated = 1;
    b.revised = 1;
    b.textT = u"Es tarde.<End of Block>"_s;
    b.comments = u"keep `it` short"_s;
    QVERIFY(insertBlock(*m_home, b));
    b = StoredBlock();
    b.id = 2;
    b.text = u"Line one\r\nLine two<End of Block>"_s;
    QVERIFY(insertBlock(*m_home, b));
    b = StoredBlock();
    b.table = u"battle_script"_s;
    b.file = u"b.txt"_s;
    b.id = 1;
    b.newWidth = 26;
    b.newHeight = 3;
    QVERIFY(insertBlock(*m_home, b));
    b = StoredBlock();
    b.file = u"dup.txt"_s;
    b.id = 1;
    QVERIFY(insertBlock(*m_home, b));
    QVERIFY(insertBlock(*m_home, b));
    b = StoredBlock();
    b.table = u"battling_arena"_s;
    b.file = u"a.txt"_s;
    QVERIFY(insertBlock(*m_home, b));

    m_messages = std::make_unique<MessageRecorder>();
    m_window = std::make_unique<MainWindow>(m_home->path());
    QVERIFY(m_window->load());
    m_c = &m_window->controls();
    m_c->saveTime->stop(); // ticks come from the tests
    m_edit = BlockEditController::of(*m_window);
    QVERIFY(m_edit);
    ScriptTree::buildTree(*m_c->Scripts, m_window->db());
    m_model = ScriptTree::model(*m_c->Scripts);
    QVERIFY(m_model && m_model->isBuilt());
}

void tst_BlockEditController::cleanup()
{
    m_window.reset();
    m_messages.reset();
    m_home.reset();
}

void tst_BlockEditController::clickLoadsTheBlock()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_c->Scripts->expandAll();
    const QModelIndex index = node(Translated);
    m_c->Scripts->scrollTo(index);
    QTest::mouseClick(m_c->Scripts->viewport(), Qt::LeftButton, {}, m_c->Scripts->visualRect(index).center());

    QCOMPARE(m_edit->openKey(), Translated);
    QCOMPARE(m_c->rtxtOriginal->toPlainText(), u"It's late.<End of Block>"_s);
    QCOMPARE(translation(), u"Es tarde.<End of Block>"_s);
    QCOMPARE(m_c->txtComentario->toPlainText(), u"keep 'it' short"_s);
    QCOMPARE(m_c->lblMsg->text(), u"[field] - [0012.txt] - [1]"_s);
    for (QWidget *editor : {static_cast<QWidget *>(m_c->rtxtOriginal), static_cast<QWidget *>(m_c->rtxtTranslated),
                            static_cast<QWidget *>(m_c->txtComentario)})
        QVERIFY(editor->isEnabled());
    QCOMPARE(m_model->selectedImage(index), 6);
    QCOMPARE(m_model->image(index), 7);
    QCOMPARE(m_window->state().currentWidth + u'x' + m_window->state().currentHeight, u"24x2"_s);
}

void tst_BlockEditController::theKeyboardLoadsTooButTheProgramDoesNot()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_c->Scripts->expandAll();
    QVERIFY(ScriptTree::selectKey(*m_c->Scripts, Translated));
    QVERIFY(m_edit->openKey().isEmpty()); // a selection made by the program loads nothing
    m_c->Scripts->setFocus();
    QTest::keyClick(m_c->Scripts, Qt::Key_Down);
    QCOMPARE(m_c->Scripts->currentIndex(), node(Untranslated));
    QCOMPARE(m_edit->openKey(), Untranslated);
    QCOMPARE(m_c->rtxtOriginal->toPlainText(), u"Line one\nLine two<End of Block>"_s);
}

void tst_BlockEditController::revisedFollowsTheBlock_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("translated and revised") << Translated << true << true;
    QTest::newRow("untranslated") << Untranslated << false << false;
    QTest::newRow("folder") << u"field"_s << false << false;
    QTest::newRow("root") << u"Root"_s << false << false;
}

void tst_BlockEditController::revisedFollowsTheBlock()
{
    QFETCH(QString, key);
    QFETCH(bool, checked);
    QFETCH(bool, enabled);
    QVERIFY(m_edit->selectAndLoad(Translated));
    QVERIFY(m_edit->selectAndLoad(key));
    QCOMPARE(m_c->chkRevised->isChecked(), checked);
    QCOMPARE(m_c->chkRevised->isEnabled(), enabled);
    QCOMPARE(m_c->rtxtTranslated->isEnabled(), isBlockKey(key));
}

void tst_BlockEditController::aDuplicateLoadsNothing()
{
    QVERIFY(m_edit->selectAndLoad(Translated));
    const qint64 before = m_window->db().changedRows();
    m_edit->selectAndLoad(Duplicate);
    QCOMPARE(m_messages->texts(), QStringList{u"Duplicate records, FATAL ERROR"_s});
    QVERIFY(!m_c->rtxtTranslated->isEnabled());
    QVERIFY(m_c->rtxtOriginal->toPlainText().isEmpty());
    QVERIFY(m_edit->openKey().isEmpty());
    m_edit->automaticSaveTick();
    m_edit->save();
    QCOMPARE(m_window->db().changedRows(), before); // the empty editors never reach its rows
}

void tst_BlockEditController::automaticSaveWritesAndMarks()
{
    QVERIFY(m_edit->selectAndLoad(Untranslated));
    m_c->rtxtTranslated->setPlainText(u"It's mine\nall mine<End of Block>"_s);
    m_c->txtComentario->setPlainText(u"check"_s);
    m_edit->automaticSaveTick();

    const QVariantList stored = row(u"field"_s, u"0012.txt"_s, 2);
    QCOMPARE(stored.value(8).toString(), u"It`s mine\r\nall mine<End of Block>"_s);
    QCOMPARE(stored.value(5).toString(), u"check"_s);
    QCOMPARE(stored.value(6).toInt(), 1);
    QCOMPARE(m_model->image(node(Untranslated)), 5);
    QCOMPARE(m_model->text(node(Untranslated)), u"2[c]"_s);
    QVERIFY(m_c->chkRevised->isEnabled());
    QCOMPARE(m_c->lblMsg->text(), u">Translation status: 33% translated"_s); // 2 of 6
    QVERIFY(!m_c->shaSave->isHidden());
    QVERIFY(m_c->shaDelay->isActive());
    QTRY_VERIFY(m_c->shaSave->isHidden());
    QVERIFY(!m_c->shaDelay->isActive());
    QCOMPARE(m_messages->beeps, 0);
}

void tst_BlockEditController::anIdleStoreIsNotWritten()
{
    QVERIFY(m_edit->selectAndLoad(Translated));
    const qint64 before = m_window->db().changedRows();
    for (int tick = 0; tick < 3; ++tick)
        m_edit->automaticSaveTick();
    QCOMPARE(m_window->db().changedRows(), before);
    QCOMPARE(m_c->lblMsg->text(), u">Translation status: 17% translated"_s);
    QCOMPARE(m_model->text(node(Translated)), u"1[c]"_s);

    m_c->chkRevised->setChecked(false);
    m_edit->automaticSaveTick();
    QCOMPARE(m_window->db().changedRows(), before + 1);
    QCOMPARE(m_model->image(node(Translated)), 5);
    m_edit->automaticSaveTick();
    QCOMPARE(m_window->db().changedRows(), before + 1);
}

void tst_BlockEditController::saveWithAutomaticSaveOff()
{
    QVERIFY(!m_c->mnuGuardar->isEnabled());
    m_c->mnuAutoGuar->trigger();
    QVERIFY(!m_c->mnuAutoGuar->isChecked());
    QVERIFY(m_c->mnuGuardar->isEnabled());

    QVERIFY(m_edit->selectAndLoad(Translated));
    const qint64 before = m_window->db().changedRows();
    m_edit->automaticSaveTick(); // the timer has nothing to do now
    QCOMPARE(m_window->db().changedRows(), before);
    m_c->mnuGuardar->trigger();
    QCOMPARE(m_window->db().changedRows(), before + 1); // asked for, so written
    QCOMPARE(m_messages->beeps, 1);
    QCOMPARE(m_c->lblMsg->text(), u"Script saved"_s);

    m_c->mnuAutoGuar->trigger();
    QVERIFY(!m_c->mnuGuardar->isEnabled());
}

void tst_BlockEditController::saveOnANodeThatIsNotABlock()
{
    QVERIFY(m_edit->selectAndLoad(u"0012.txt"_s));
    m_window->runToolButton(1);
    QVERIFY(!m_c->shaSave->isHidden());
    QCOMPARE(m_window->db().changedRows(), 0);
    QVERIFY(m_c->lblMsg->text().isEmpty());
}

void tst_BlockEditController::pendingEditsAreSavedBeforeSwitching_data()
{
    QTest::addColumn<bool>("automatic");
    QTest::newRow("automatic save on") << true;
    QTest::newRow("automatic save off") << false;
}

void tst_BlockEditController::pendingEditsAreSavedBeforeSwitching()
{
    QFETCH(bool, automatic);
    if (!automatic)
        m_c->mnuAutoGuar->trigger();
    QVERIFY(m_edit->selectAndLoad(Untranslated));
    m_c->rtxtTranslated->setPlainText(u"Typed just now<End of Block>"_s);
    QVERIFY(m_edit->selectAndLoad(Battle));
    QCOMPARE(row(u"field"_s, u"0012.txt"_s, 2).value(8).toString(),
             automatic ? u"Typed just now<End of Block>"_s : QString());
    QCOMPARE(m_model->image(node(Untranslated)), automatic ? 5 : 4);
    QCOMPARE(m_c->lblMsg->text(), u"[battle_script] - [b.txt] - [1]"_s);
}

void tst_BlockEditController::pendingEditsAreSavedAtExit()
{
    QVERIFY(m_edit->selectAndLoad(Untranslated));
    m_c->txtComentario->setPlainText(u"last words"_s);
    m_window->exitProgram();
    QVERIFY(m_window->hasExited());
    Database db;
    QVERIFY(openStore(db, m_home->storePath()));
    QCOMPARE(storedRow(db, u"field"_s, u"0012.txt"_s, 2).value(5).toString(), u"last words"_s);
}

void tst_BlockEditController::anUntouchedBlockGoesBackByteForByte()
{
    const QString text = u"Line one  \r\n\r\nx\ny\u00a0z  <End of Block> "_s;
    QVERIFY(m_home->execute(u"UPDATE field SET text_data_t = '%1', comments = 'a\r\n b ' WHERE dialogue_id = 1"_s.arg(text)));
    QVERIFY(m_edit->selectAndLoad(Translated));
    const QVariantList before = row(u"field"_s, u"0012.txt"_s, 1);
    m_window->runToolButton(1); // written whatever it holds
    QCOMPARE(row(u"field"_s, u"0012.txt"_s, 1), before);
    // Typing anywhere gives the editor's own line ends, CR LF each.
    QTextCursor cursor(m_c->rtxtTranslated->document());
    cursor.insertText(u"!"_s);
    m_window->runToolButton(1);
    QCOMPARE(row(u"field"_s, u"0012.txt"_s, 1).value(8).toString(),
             u"!Line one  \r\n\r\nx\r\ny\u00a0z  <End of Block> "_s);
}

void tst_BlockEditController::cleanAndClone_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("field");
    QTest::newRow("field") << Translated << true;
    QTest::newRow("battle_script") << Battle << false;
}

void tst_BlockEditController::cleanAndClone()
{
    QFETCH(QString, key);
    QFETCH(bool, field);
    const BlockAddress at = *parseBlockKey(key);
    QVERIFY(m_home->execute(u"UPDATE %1 SET new_width = 26, new_height = 3"_s.arg(at.table)));
    QVERIFY(m_edit->selectAndLoad(key));
    PreviewController *preview = PreviewController::of(*m_window);
    QVERIFY(preview);
    preview->flush();
    const int rendersBefore = preview->renderCount();

    m_window->runToolButton(12); // Clean
    QVERIFY(translation().isEmpty());
    QVERIFY(!m_c->chkRevised->isEnabled());
    QVERIFY(!m_c->chkRevised->isChecked());
    const auto sizes = [&] { return row(at.table, at.fileName, at.number).mid(9, 2); };
    QCOMPARE(sizes(), field ? QVariantList({0, 0}) : QVariantList({26, 3}));
    QCOMPARE(m_window->state().currentWidth, field ? u"24"_s : u"26"_s);
    preview->flush();
    QCOMPARE(preview->renderCount() - rendersBefore, field ? 1 : 0); // the new size drawn, then cleared

    QVERIFY(m_home->execute(u"UPDATE %1 SET new_width = 30, new_height = 5"_s.arg(at.table)));
    m_window->runToolButton(4); // Clone
    QCOMPARE(translation(), m_c->rtxtOriginal->toPlainText());
    QVERIFY(m_c->chkRevised->isEnabled());
    QCOMPARE(sizes(), field ? QVariantList({0, 0}) : QVariantList({30, 5}));

    m_edit->automaticSaveTick();
    QCOMPARE(row(at.table, at.fileName, at.number).value(8), row(at.table, at.fileName, at.number).value(2));
}

void tst_BlockEditController::aFailingSaveKeepsTheText()
{
    QVERIFY(m_edit->selectAndLoad(Untranslated));
    m_c->rtxtTranslated->setPlainText(u"Precious<End of Block>"_s);
    QVERIFY(renameTable(u"field"_s, u"field_away"_s));
    m_edit->automaticSaveTick();
    m_edit->automaticSaveTick();
    QCOMPARE(m_messages->messages.size(), 1); // told once, not every second
    QVERIFY(m_messages->texts().first().contains(u"could not be saved"_s));
    QVERIFY(m_c->lblMsg->text().contains(u"could not be saved"_s));
    QCOMPARE(translation(), u"Precious<End of Block>"_s);
    QCOMPARE(m_model->image(node(Untranslated)), 4);

    m_edit->selectAndLoad(Battle); // the edits cannot be saved, so the block stays open
    QCOMPARE(m_edit->openKey(), Untranslated);
    QCOMPARE(m_c->Scripts->currentIndex(), node(Untranslated));
    QCOMPARE(translation(), u"Precious<End of Block>"_s);

    QVERIFY(renameTable(u"field_away"_s, u"field"_s));
    m_edit->automaticSaveTick();
    QCOMPARE(row(u"field"_s, u"0012.txt"_s, 2).value(8).toString(), u"Precious<End of Block>"_s);
    QCOMPARE(m_model->image(node(Untranslated)), 5);
}

void tst_BlockEditController::aFailingLoadKeepsTheOpenBlock()
{
    QVERIFY(m_edit->selectAndLoad(Untranslated));
    m_c->rtxtTranslated->setPlainText(u"Mine<End of Block>"_s);
    QVERIFY(renameTable(u"battle_script"_s, u"battle_away"_s));
    QVERIFY(!m_edit->selectAndLoad(Battle));
    QCOMPARE(m_messages->messages.size(), 1);
    QVERIFY(m_messages->texts().first().contains(u"b.txt"_s));
    QCOMPARE(m_edit->openKey(), Untranslated);
    QCOMPARE(m_c->Scripts->currentIndex(), node(Untranslated));
    QCOMPARE(translation(), u"Mine<End of Block>"_s);
    QVERIFY(m_c->rtxtTranslated->isEnabled());
}

void tst_BlockEditController::viewNeedsALoadedBlock()
{
    const auto viewTitle = [this] {
        QObject guard; // the check dies with this scope when no window opened
        QString title = u"(none)"_s;
        QTimer::singleShot(0, &guard, [&title] {
            if (QWidget *dialog = QApplication::activeModalWidget()) {
                title = dialog->windowTitle();
                dialog->close();
            }
        });
        m_window->runToolButton(11);
        return title;
    };
    QCOMPARE(viewTitle(), u"(none)"_s);
    QVERIFY(m_edit->selectAndLoad(Untranslated));
    QCOMPARE(viewTitle(), u"View Translated Script(Click on the Textbox to copy to the Clipboard, simple huh?)"_s);
}

QTEST_MAIN(tst_BlockEditController)
#include "tst_blockeditcontroller.moc"
