#include "app/previewcontroller.h"
#include "editor/widgets/previewwidget.h"
#include "editor/widgets/translatededit.h"
#include "tests/support/appfixture.h"

#include <QAction>
#include <QCheckBox>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <sqlite3.h>

namespace {

struct Blocks : AppFixture
{
    Blocks()
    {
        ok = startWithBlocks();
        control<QTimer>(u"saveTime"_s)->stop(); // ticks come from the tests
    }
    TranslatedEdit *translation() const { return control<TranslatedEdit>(u"rtxtTranslated"_s); }
    // Behind the program's back, as a broken or foreign store would be.
    bool renameTable(const char *from, const char *to) const
    {
        sqlite3 *db = nullptr;
        const QByteArray sql = "ALTER TABLE " + QByteArray(from) + " RENAME TO " + to;
        const bool renamed = sqlite3_open(home.storePath().toUtf8().constData(), &db) == SQLITE_OK
            && sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_close(db);
        return renamed;
    }
    bool markedAt(int position) const // a word link's bold mark
    {
        const QList<QTextEdit::ExtraSelection> marks = translation()->extraSelections();
        return std::any_of(marks.begin(), marks.end(), [position](const QTextEdit::ExtraSelection &mark) {
            return mark.cursor.selectionStart() <= position && position < mark.cursor.selectionEnd()
                && mark.format.fontWeight() == QFont::Bold;
        });
    }
    bool ok = false;
};

} // namespace

class tst_BlockEditController : public QObject
{
    Q_OBJECT

private slots:
    void aClickOrAKeyLoadsTheProgramDoesNot();
    void theTimerSavesAndTheMarkerGoes();
    void automaticSaveOnAndOff_data();
    void automaticSaveOnAndOff();
    void failuresKeepTheText();
    void cleanAndClone_data();
    void cleanAndClone();
    void anUntouchedBlockGoesBackByteForByte();
};

void tst_BlockEditController::aClickOrAKeyLoadsTheProgramDoesNot()
{
    Blocks f;
    QVERIFY(f.ok);
    auto *tree = f.control<QTreeView>(u"Scripts"_s);
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    tree->expandAll();
    QVERIFY(ScriptTree::selectKey(*tree, Translated));
    QVERIFY(f.translation()->toPlainText().isEmpty());
    f.control<QScrollBar>(u"VScroll1"_s)->setValue(3);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(tree->currentIndex()).center());
    QCOMPARE(f.control<QTextEdit>(u"rtxtOriginal"_s)->toPlainText(), u"It's late.<End of Block>"_s);
    QCOMPARE(f.translation()->toPlainText(), u"Es tarde.<End of Block>"_s);
    QCOMPARE(f.control<QPlainTextEdit>(u"txtComentario"_s)->toPlainText(), u"keep 'it' short"_s);
    QCOMPARE(f.control<QLabel>(u"lblMsg"_s)->text(), u"[field] - [0012.txt] - [1]"_s);
    QVERIFY(f.translation()->isEnabled() && f.control(u"chkRevised"_s)->isEnabled());
    QVERIFY(f.markedAt(3)); // the links and the preview follow the load
    QCOMPARE(f.control<QScrollBar>(u"VScroll1"_s)->value(), 0);
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Down);
    QCOMPARE(f.control<QTextEdit>(u"rtxtOriginal"_s)->toPlainText(), u"Line one\nLine two"_s);
}

void tst_BlockEditController::theTimerSavesAndTheMarkerGoes()
{
    Blocks f;
    QVERIFY(f.ok && f.open(Untranslated));
    f.translation()->setPlainText(u"Mine"_s);
    QSignalSpy saved(&f.feature<BlockEditController>(), &BlockEditController::saved);
    f.control<QTimer>(u"saveTime"_s)->start(1);
    QTRY_VERIFY(saved.size() >= 3);
    f.control<QTimer>(u"saveTime"_s)->stop();
    QCOMPARE(f.stored(u"text_data_t"_s, Untranslated), u"Mine"_s);
    QCOMPARE(saved.at(0).at(0).toBool(), true);
    QCOMPARE(saved.at(2).at(0).toBool(), false); // an idle block is not written again
    QVERIFY(!f.control(u"shaSave"_s)->isHidden());
    QTRY_VERIFY(f.control(u"shaSave"_s)->isHidden());
}

void tst_BlockEditController::automaticSaveOnAndOff_data()
{
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<QString>("status"); // after Save
    QTest::newRow("on") << true << u">Translation status: 33% translated"_s;
    QTest::newRow("off") << false << u"Script saved"_s;
}

void tst_BlockEditController::automaticSaveOnAndOff()
{
    QFETCH(bool, automatic);
    QFETCH(QString, status);
    Blocks f;
    QVERIFY(f.ok && f.open(Untranslated));
    if (!automatic)
        f.control<QAction>(u"mnuAutoGuar"_s)->trigger();
    QCOMPARE(f.control<QAction>(u"mnuGuardar"_s)->isEnabled(), !automatic);
    f.translation()->setPlainText(u"Typed"_s);
    QVERIFY(f.open(Battle)); // the edits go along only with automatic save
    QCOMPARE(f.stored(u"text_data_t"_s, Untranslated), automatic ? u"Typed"_s : QString());
    const qint64 before = f.window->db().changedRows();
    f.control<QAction>(u"toolButton1"_s)->trigger();
    QCOMPARE(f.window->db().changedRows(), before + 1); // asked for, so written as it stands
    QCOMPARE(f.messages.beeps, automatic ? 0 : 1);
    QCOMPARE(f.control<QLabel>(u"lblMsg"_s)->text(), status);
}

void tst_BlockEditController::failuresKeepTheText()
{
    Blocks f;
    QVERIFY(f.ok && f.open(Untranslated));
    f.translation()->setPlainText(u"Precious"_s);
    QVERIFY(f.renameTable("field", "field_away"));
    QVERIFY(!f.open(Battle)); // the edits cannot be saved: the block stays open
    QVERIFY(!f.open(Battle));
    QCOMPARE(f.messages.texts().size(), 1); // told once, then only in lblMsg
    QVERIFY(f.control<QLabel>(u"lblMsg"_s)->text().contains(u"could not be saved"_s));

    QVERIFY(f.renameTable("field_away", "field") && f.renameTable("battle_script", "battle_away"));
    QVERIFY(!f.open(Battle)); // saved now, but the next block cannot be read
    QCOMPARE(f.messages.texts().size(), 2);
    QVERIFY(f.messages.texts().last().contains(u"b.txt"_s));
    QCOMPARE(f.stored(u"text_data_t"_s, Untranslated), u"Precious"_s);
    QCOMPARE(f.translation()->toPlainText(), u"Precious"_s);
    QVERIFY(f.translation()->isEnabled());

    f.open(Duplicate);
    QCOMPARE(f.messages.texts().last(), u"Duplicate records, FATAL ERROR"_s);
    const qint64 before = f.window->db().changedRows();
    f.control<QAction>(u"toolButton1"_s)->trigger();
    QCOMPARE(f.window->db().changedRows(), before); // the empty editors never reach its rows
    // A failed save on the program folder's store is told, never held for a server's conflict panel or outbox.
    QVERIFY(!f.control<QDockWidget>(u"conflictDock"_s) && !QFileInfo::exists(f.home.filePath(u"outbox.db"_s)));
}

void tst_BlockEditController::cleanAndClone_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("sizeAfterClean"); // new_width x new_height
    QTest::addColumn<int>("renders");            // the reset size drawn before the clear
    QTest::newRow("field") << Translated << u"0x0"_s << 1;
    QTest::newRow("battle_script") << Battle << u"26x3"_s << 0;
}

void tst_BlockEditController::cleanAndClone()
{
    QFETCH(QString, key);
    QFETCH(QString, sizeAfterClean);
    QFETCH(int, renders);
    Blocks f;
    QVERIFY(f.ok && f.home.execute(u"UPDATE field SET new_width = 30, new_height = 5"_s) && f.open(key));
    auto &preview = f.feature<PreviewController>();
    preview.flush();
    const int before = preview.renderCount();
    f.control<QAction>(u"toolButton12"_s)->trigger(); // Clean
    QVERIFY(f.translation()->toPlainText().isEmpty() && !f.control(u"chkRevised"_s)->isEnabled());
    QCOMPARE(f.stored(u"new_width || 'x' || new_height"_s, key), sizeAfterClean);
    QCOMPARE(preview.renderCount() - before, renders);
    QCOMPARE(*f.control<PreviewWidget>(u"picPreview"_s)->surface(), f.drawn(QString(), QString()));

    f.control<QAction>(u"toolButton4"_s)->trigger(); // Clone
    QCOMPARE(f.translation()->toPlainText(), f.control<QTextEdit>(u"rtxtOriginal"_s)->toPlainText());
    QVERIFY(f.control(u"chkRevised"_s)->isEnabled());
    QVERIFY(f.markedAt(5)); // "late", marked as the clone came in
}

void tst_BlockEditController::anUntouchedBlockGoesBackByteForByte()
{
    Blocks f;
    const QString text = u"Line one  \r\n\r\nx\ny\u00a0z  <End of Block> "_s;
    QVERIFY(f.ok && f.home.execute(u"UPDATE field SET text_data_t = '%1' WHERE dialogue_id = 1"_s.arg(text)));
    QVERIFY(f.open(Translated));
    f.control<QAction>(u"toolButton1"_s)->trigger(); // written whatever it holds
    QCOMPARE(f.stored(u"text_data_t"_s, Translated), text);
    QTextCursor(f.translation()->document()).insertText(u"!"_s);
    f.control<QAction>(u"toolButton1"_s)->trigger(); // typing gives the editor's own line ends, CR LF each
    QCOMPARE(f.stored(u"text_data_t"_s, Translated), u"!Line one  \r\n\r\nx\r\ny\u00a0z  <End of Block> "_s);
}

QTEST_MAIN(tst_BlockEditController)
#include "tst_blockeditcontroller.moc"
