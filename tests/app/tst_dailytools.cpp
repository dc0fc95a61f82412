#include "tests/support/appfixture.h"

#include "editor/widgets/translatededit.h"
#include "search/widgets/replacewindow.h"
#include "store/widgets/blockfilter.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QTest>
#include <QTreeWidget>

// The translator's daily tools as the main window offers them: moving
// through the blocks by state, the tree's filter, Replace... and Update
// Originals....
class tst_DailyTools : public QObject
{
    Q_OBJECT

private slots:
    void moves_data();
    void moves();
    void movingOnSavesTheBlockLeft();
    void filterCounts();
    void replaceFromTheMenu();
    void updateOriginalsFromTheMenu();
};

void tst_DailyTools::moves_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("expected");

    QTest::newRow("from the root") << RootKey << u"nextUntranslatedAction"_s << u"battling_arena:a.txt;1"_s;
    QTest::newRow("across folders") << u"battling_arena:a.txt;1"_s << u"nextUntranslatedAction"_s << Battle;
    QTest::newRow("backwards across folders") << Untranslated << u"previousUntranslatedAction"_s << Battle;
    QTest::newRow("with comment") << RootKey << u"nextWithCommentAction"_s << Translated;
    QTest::newRow("unrevised") << Battle << u"nextUnrevisedAction"_s << Translated;
    QTest::newRow("none before") << Translated << u"previousWithCommentAction"_s << Translated;
    QTest::newRow("into the next script") << Untranslated << u"nextUntranslatedAction"_s << Duplicate;
    QTest::newRow("into the previous script") << Duplicate << u"previousWithCommentAction"_s << Translated;
}

void tst_DailyTools::moves()
{
    QFETCH(QString, from);
    QFETCH(QString, action);
    QFETCH(QString, expected);
    AppFixture f;
    QVERIFY(f.startWithBlocks());
    auto *tree = f.control<QTreeView>(u"Scripts"_s);
    if (from == RootKey)
        QVERIFY(ScriptTree::selectKey(*tree, from));
    else
        QVERIFY(f.open(from));
    f.control<QAction>(action)->trigger();
    QCOMPARE(ScriptTree::selectedKey(*tree), expected);
    QCOMPARE(f.control<QLabel>(u"lblMsg"_s)->text().startsWith(u"["_s), expected != from);
}

void tst_DailyTools::movingOnSavesTheBlockLeft()
{
    AppFixture f;
    QVERIFY(f.startWithBlocks());
    QVERIFY(f.open(Translated));
    f.control<TranslatedEdit>(u"rtxtTranslated"_s)->setPlainText(u"Ya es tarde."_s);
    f.control<QAction>(u"previousUntranslatedAction"_s)->trigger();
    QCOMPARE(f.stored(u"text_data_t"_s, Translated), u"Ya es tarde."_s);
}

void tst_DailyTools::filterCounts()
{
    AppFixture f;
    QVERIFY(f.startWithBlocks());
    auto *tree = f.control<QTreeView>(u"Scripts"_s);
    ScriptTreeModel *model = ScriptTree::model(*tree);
    f.control<QComboBox>(u"treeFilter"_s)->setCurrentIndex(int(BlockState::Untranslated));
    const QModelIndex field = model->indexForKey(u"field"_s);
    QCOMPARE(model->data(field).toString(), u"field (2)"_s); // 0012.txt;2 and dup.txt;1
    const QModelIndex translated = model->indexForKey(Translated);
    QVERIFY(tree->isRowHidden(translated.row(), translated.parent()));
    f.control<QComboBox>(u"treeFilter"_s)->setCurrentIndex(int(BlockState::All));
    QCOMPARE(model->data(field).toString(), u"field"_s);
    QVERIFY(!tree->isRowHidden(translated.row(), translated.parent()));
}

void tst_DailyTools::replaceFromTheMenu()
{
    AppFixture f;
    QVERIFY(f.startWithBlocks());
    QVERIFY(f.open(Translated));
    int listed = -1;
    QTimer::singleShot(0, [&listed] {
        auto *form = qobject_cast<ReplaceWindow *>(QApplication::activeModalWidget());
        if (!form)
            return;
        form->findChild<QLineEdit *>(u"findBox"_s)->setText(u"TARDE"_s);
        form->findChild<QLineEdit *>(u"replacementBox"_s)->setText(u"pronto"_s);
        form->findAll();
        listed = form->matchList()->topLevelItemCount();
        form->replaceTicked();
        form->reject();
    });
    f.control<QAction>(u"replaceAction"_s)->trigger();
    QCOMPARE(listed, 1);
    QCOMPARE(f.stored(u"text_data_t"_s, Translated), u"Es pronto.<End of Block>"_s);
    // The open block shows what the step wrote, so the next save keeps it.
    QCOMPARE(f.control<TranslatedEdit>(u"rtxtTranslated"_s)->toPlainText(), u"Es pronto.<End of Block>"_s);
}

void tst_DailyTools::updateOriginalsFromTheMenu()
{
    AppFixture f;
    QVERIFY(f.startWithBlocks());
    f.control<QAction>(u"mnuAutoGuar"_s)->trigger();
    QVERIFY(f.home.execute(u"DELETE FROM field WHERE file_name = 'dup.txt'"_s));
    QVERIFY(f.home.write(u"new/battle_script/b.txt"_s, "<TextBlock 1 w:24 h:2>\r\nVery late!<End of Block>\r\n")
            && f.home.write(u"new/field/0012.txt"_s, "<TextBlock 1 w:24 h:2>\r\nIt's late now.<End of Block>\r\n"));
    f.pickerAnswer = f.home.filePath(u"new"_s);
    f.control<QAction>(u"updateOriginalsAction"_s)->trigger();
    QCOMPARE(f.control<QLabel>(u"lblMsg"_s)->text(), u"0 unchanged, 2 changed, 0 added, 2 removed"_s);
    QCOMPARE(f.stored(u"text_data_t"_s, Translated), u"Es tarde.<End of Block>"_s);
    QVERIFY(f.open(Translated));
    QVERIFY(f.control<QWidget>(u"oldOriginalEdit"_s)->isVisibleTo(f.window.get()));
}

QTEST_MAIN(tst_DailyTools)
#include "tst_dailytools.moc"
