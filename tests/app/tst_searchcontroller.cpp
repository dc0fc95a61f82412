#include "app/mainwindow.h"
#include "app/searchcontroller.h"
#include "search/search.h"
#include "search/widgets/frmbuscar.h"
#include "store/scripttreemodel.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/testhome.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>
#include <QTimer>
#include <QTreeView>

using namespace Qt::StringLiterals;

class tst_SearchController : public QObject
{
    Q_OBJECT

private slots:
    void hitOpensTheBlockInTheMainWindow();
};

void tst_SearchController::hitOpensTheBlockInTheMainWindow()
{
    TestHome home(TestHome::StoreAndFont);
    QVERIFY(home.isValid());
    QVERIFY(home.execute(u"INSERT INTO field (file_name,dialogue_id,text_data,width,height,comments,translated,"
                         "revised,text_data_t,new_width,new_height) VALUES ('town01', 4, 'Hello', 28, 3, '', 1, 0, "
                         "'Hola, señor', 0, 0);"_s));
    MessageRecorder recorder;
    frmMain window(home.path());
    QVERIFY(window.load());

    // A tree keyed as the script tree keys its nodes.
    QStandardItemModel tree;
    auto *root = new QStandardItem(u"Scripts"_s);
    root->setData(u"Root"_s, ScriptTreeModel::KeyRole);
    auto *folder = new QStandardItem(u"field"_s);
    folder->setData(u"field"_s, ScriptTreeModel::KeyRole);
    auto *script = new QStandardItem(u"town01"_s);
    script->setData(u"town01"_s, ScriptTreeModel::KeyRole);
    auto *block = new QStandardItem(u"4"_s);
    block->setData(u"field:town01;4"_s, ScriptTreeModel::KeyRole);
    tree.appendRow(root);
    root->appendRow(folder);
    folder->appendRow(script);
    script->appendRow(block);
    QTreeView *scripts = window.controls().Scripts;
    if (scripts->model() && scripts->model()->rowCount() > 0)
        QSKIP("the main window builds its own tree now; this stand-in is not needed");
    scripts->setModel(&tree);
    QSignalSpy clicks(scripts, &QTreeView::clicked);

    bool sawForm = false;
    QTimer::singleShot(0, this, [&sawForm] {
        auto *form = qobject_cast<frmBuscar *>(QApplication::activeModalWidget());
        if (!form)
            return;
        sawForm = true;
        form->findChild<QLineEdit *>(u"txtSearch"_s)->setText(u"SEÑOR"_s);
        form->findChild<QPushButton *>(u"cmdBuscar"_s)->click();
        form->lstSearch_ItemClick(form->hits()->index(0, 0));
        form->accept();
    });
    window.runCommand(Command::Search);

    QVERIFY(sawForm);
    QCOMPARE(recorder.texts(), QStringList{SearchMessages::finished});
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(clicks[0][0].value<QModelIndex>().data(ScriptTreeModel::KeyRole).toString(), u"field:town01;4"_s);
    QCOMPARE(scripts->currentIndex(), block->index());
}

QTEST_MAIN(tst_SearchController)
#include "tst_searchcontroller.moc"
