#include "store/database.h"
#include "store/layout.h"
#include "store/widgets/scripttree.h"

#include <QPixmap>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

using namespace Qt::StringLiterals;

// The tree as the window shows it: selection, collapsing and the images.
class tst_ScriptTree : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void buildSelectsTheRootAndCollapses();
    void selectKeyShowsTheNode();
    void selectedImageShowsWhenSelected();
    void missingImagesShowNothing();

private:
    QTemporaryDir m_dir;
    Database m_db;
};

void tst_ScriptTree::initTestCase()
{
    const QString path = m_dir.filePath(u"tallowpen.db"_s);
    StoreError error;
    QVERIFY2(createStore(path, &error), qPrintable(error.message));
    QVERIFY(openStore(m_db, path));
    for (int id = 1; id <= 3; ++id) {
        QVERIFY(m_db.execute(u"INSERT INTO field (file_name,dialogue_id,comments,translated,revised) VALUES "
                             "('a.txt', %1, '', 0, 0);"_s.arg(id)));
    }
    QVERIFY(m_db.execute(u"INSERT INTO battle_script (file_name,dialogue_id,comments,translated,revised) VALUES "
                         "('b.txt', 1, '', 1, 0);"_s));
}

void tst_ScriptTree::buildSelectsTheRootAndCollapses()
{
    QTreeView view;
    ScriptTree::buildTree(view, m_db);
    ScriptTreeModel *model = ScriptTree::model(view);
    QVERIFY(model);
    view.expandAll();
    QVERIFY(view.isExpanded(model->indexForKey(u"a.txt"_s)));
    view.setCurrentIndex(model->indexForKey(u"field:a.txt;2"_s));

    ScriptTree::clearTree(view);
    QVERIFY(ScriptTree::selectedKey(view).isEmpty());
    ScriptTree::buildTree(view, m_db);
    QCOMPARE(ScriptTree::selectedKey(view), u"Root"_s);
    for (const QString &key : {u"Root"_s, u"field"_s, u"a.txt"_s})
        QVERIFY2(!view.isExpanded(model->indexForKey(key)), qPrintable(key));

    view.expandAll();
    ScriptTree::collapseAll(view);
    QVERIFY(!view.isExpanded(model->indexForKey(u"Root"_s)));
    QVERIFY(!view.isExpanded(model->indexForKey(u"field"_s)));
}

void tst_ScriptTree::selectKeyShowsTheNode()
{
    QTreeView view;
    ScriptTree::buildTree(view, m_db);
    QVERIFY(ScriptTree::selectKey(view, u"field:a.txt;3"_s));
    QCOMPARE(ScriptTree::selectedKey(view), u"field:a.txt;3"_s);
    const ScriptTreeModel *model = ScriptTree::model(view);
    for (const QString &key : {u"Root"_s, u"field"_s, u"a.txt"_s})
        QVERIFY2(view.isExpanded(model->indexForKey(key)), qPrintable(key));
    QVERIFY(!view.isExpanded(model->indexForKey(u"battle_script"_s)));

    QVERIFY(!ScriptTree::selectKey(view, u"field:a.txt;9"_s));
    QCOMPARE(ScriptTree::selectedKey(view), u"field:a.txt;3"_s);
}

void tst_ScriptTree::selectedImageShowsWhenSelected()
{
    const QColor colours[7] = {Qt::red, Qt::green, Qt::blue, Qt::cyan, Qt::magenta, Qt::yellow, Qt::gray};
    std::array<QIcon, 7> icons;
    for (int i = 0; i < 7; ++i) {
        QPixmap pixmap(16, 16);
        pixmap.fill(colours[i]);
        icons[size_t(i)] = QIcon(pixmap);
    }
    ScriptTreeModel model;
    model.setImages(icons);
    model.build(m_db);
    auto colourOf = [&](const QString &key, QIcon::Mode mode) {
        const QIcon icon = model.data(model.indexForKey(key), Qt::DecorationRole).value<QIcon>();
        return icon.pixmap(16, mode).toImage().pixelColor(8, 8);
    };
    QCOMPARE(colourOf(u"Root"_s, QIcon::Normal), colours[0]);
    QCOMPARE(colourOf(u"b.txt"_s, QIcon::Normal), colours[2]);
    QCOMPARE(colourOf(u"battle_script:b.txt;1"_s, QIcon::Normal), colours[4]);

    const QModelIndex opened = model.indexForKey(u"field:a.txt;1"_s);
    model.setSelectedImage(opened, ScriptTreeModel::Opened);
    QCOMPARE(colourOf(u"field:a.txt;1"_s, QIcon::Normal), colours[3]);
    QCOMPARE(colourOf(u"field:a.txt;1"_s, QIcon::Selected), colours[5]);
    model.setImage(opened, ScriptTreeModel::Revised);
    QCOMPARE(colourOf(u"field:a.txt;1"_s, QIcon::Normal), colours[6]);
    QCOMPARE(colourOf(u"field:a.txt;1"_s, QIcon::Selected), colours[5]);
}

void tst_ScriptTree::missingImagesShowNothing()
{
    ScriptTreeModel model;
    std::array<QIcon, 7> icons;
    icons[0] = QIcon(QPixmap(16, 16));
    model.setImages(icons); // only the first present
    model.build(m_db);
    QVERIFY(!model.data(model.indexForKey(u"Root"_s), Qt::DecorationRole).value<QIcon>().isNull());
    const QModelIndex block = model.indexForKey(u"field:a.txt;1"_s);
    model.setSelectedImage(block, ScriptTreeModel::Opened);
    QVERIFY(model.data(block, Qt::DecorationRole).value<QIcon>().isNull());
}

QTEST_MAIN(tst_ScriptTree)
#include "tst_scripttree.moc"
