#include "app/mainwindow.h"
#include "search/search.h"
#include "search/widgets/searchwindow.h"
#include "store/scripttreemodel.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/testhome.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
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
    const QString insert = u"INSERT INTO %1 (file_name,dialogue_id,text_data,width,height,comments,translated,"
                           "revised,text_data_t,new_width,new_height) VALUES ('%2', %3, 'Hello', 28, 3, '', 1, 0, "
                           "'%4', 0, 0);"_s;
    QVERIFY(home.execute(insert.arg(u"battling_arena"_s, u"arena01"_s, u"1"_s, u"Adiós"_s)));
    QVERIFY(home.execute(insert.arg(u"field"_s, u"town01"_s, u"4"_s, u"Hola, señor"_s)));
    MessageRecorder recorder;
    MainWindow window(home.path());
    QVERIFY(window.load());
    QTreeView *scripts = window.controls().Scripts;
    scripts->expandAll();

    bool sawForm = false;
    QString openedWhileSearching;
    QTimer::singleShot(0, this, [&] {
        auto *form = qobject_cast<SearchWindow *>(QApplication::activeModalWidget());
        if (!form)
            return;
        sawForm = true;
        form->findChild<QLineEdit *>(u"txtSearch"_s)->setText(u"SEÑOR"_s);
        form->findChild<QPushButton *>(u"cmdBuscar"_s)->click();
        form->openHit(form->hits()->index(0, 0));
        // The window stays open while the block shows behind it.
        openedWhileSearching = form->isVisible() ? window.controls().rtxtTranslated->toPlainText() : QString();
        form->accept();
    });
    window.runCommand(Command::Search);

    QVERIFY(sawForm);
    QCOMPARE(recorder.texts(), QStringList{SearchMessages::finished});
    QCOMPARE(openedWhileSearching, u"Hola, señor"_s);
    QCOMPARE(scripts->currentIndex().data(ScriptTreeModel::KeyRole).toString(), u"field:town01;4"_s);
    // collapseAll ran first: the arena folder, open before, is closed again.
    const QModelIndex root = scripts->model()->index(0, 0);
    QVERIFY(!scripts->isExpanded(scripts->model()->index(0, 0, root)));
}

QTEST_MAIN(tst_SearchController)
#include "tst_searchcontroller.moc"
