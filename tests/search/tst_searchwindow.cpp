#include "project/sqlitestore.h"
#include "ui/messages.h"
#include "search/widgets/searchwindow.h"
#include "searchstore.h"
#include "store/widgets/scripttreemodel.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>

using namespace Qt::StringLiterals;

// Wiring only: the controls reach the search, its hits reach the list, and
// a click on a line opens the block in a stand-in of the main window's tree.
class tst_SearchWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void searches_data();
    void searches();
    void clickOpensTheBlock_data();
    void clickOpensTheBlock();
    void failingStoreIsReported();

private:
    void search(SearchWindow &form, const QString &type, const QString &text, bool enter = false);

    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<SqliteStore> m_store;
    QStringList m_messages;
    QStandardItemModel m_treeModel; // Root > folders > scripts > blocks, keyed as the tree keys them
    QTreeView m_tree;
    QStringList m_opened;
    int m_collapses = 0;
};

void tst_SearchWindow::initTestCase()
{
    QVERIFY(makeSearchStore(m_dir, &m_path));
    Result<std::unique_ptr<SqliteStore>> store = SqliteStore::open(m_path);
    QVERIFY(store);
    m_store = std::move(*store);
    QStandardItem *node = m_treeModel.invisibleRootItem();
    for (const QString &key : {u"Root"_s, u"field"_s, u"town01"_s, u"field:town01;7"_s}) {
        auto *child = new QStandardItem(key);
        child->setData(key, ScriptTreeModel::KeyRole);
        node->appendRow(child);
        node = child;
    }
    m_tree.setModel(&m_treeModel);
}

void tst_SearchWindow::init()
{
    m_messages.clear();
    m_opened.clear();
    m_collapses = 0;
    Messages::setHandler([this](QWidget *, const Messages::Message &m) {
        m_messages << m.text;
        return Messages::Answer::Ok;
    });
}

void tst_SearchWindow::cleanup()
{
    Messages::setHandler({});
}

void tst_SearchWindow::search(SearchWindow &form, const QString &type, const QString &text, bool enter)
{
    form.findChild<QComboBox *>(u"cmbType"_s)->setCurrentText(type);
    form.findChild<QLineEdit *>(u"txtSearch"_s)->setText(text);
    if (enter)
        QTest::keyClick(form.findChild<QLineEdit *>(u"txtSearch"_s), Qt::Key_Return);
    else
        QTest::mouseClick(form.findChild<QPushButton *>(u"cmdBuscar"_s), Qt::LeftButton);
}

void tst_SearchWindow::searches_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("enter");
    QTest::addColumn<int>("lines");   // after a search that listed two lines
    QTest::addColumn<QString>("message");
    QTest::newRow("Translated by the button") << u"Translated"_s << u"espada"_s << false << 2 << SearchMessages::finished;
    QTest::newRow("Comments by Enter") << u"Comments"_s << u"nota"_s << true << 1 << SearchMessages::finished;
    QTest::newRow("nothing found empties the list") << u"Original"_s << u"zzz"_s << false << 0 << SearchMessages::finished;
    QTest::newRow("refused input keeps the list") << u"Original"_s << u"x"_s << false << 2 << SearchMessages::tooShort;
}

void tst_SearchWindow::searches()
{
    QFETCH(QString, type);
    QFETCH(QString, typed);
    QFETCH(bool, enter);
    QFETCH(int, lines);
    QFETCH(QString, message);
    SearchWindow form(*m_store, ScriptTreeJump{&m_tree, {}, {}, {}});
    search(form, u"Original"_s, u"sword"_s);
    QCOMPARE(form.hits()->rowCount(), 2);
    m_messages.clear();
    search(form, type, typed, enter);
    QCOMPARE(m_messages, QStringList{message});
    QCOMPARE(form.hits()->rowCount(), lines);
}

void tst_SearchWindow::clickOpensTheBlock_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("opened");
    QTest::newRow("a block of the tree") << u"town01"_s << QStringList{u"field:town01;7"_s};
    QTest::newRow("a block gone from the tree since") << u"gone"_s << QStringList();
}

void tst_SearchWindow::clickOpensTheBlock()
{
    QFETCH(QString, script);
    QFETCH(QStringList, opened);
    ScriptTreeJump jump{&m_tree, {}, [this] {
        ++m_collapses;
        m_tree.collapseAll();
    }, [this](const QModelIndex &node) { m_opened << node.data(ScriptTreeModel::KeyRole).toString(); }};
    SearchWindow form(*m_store, jump);
    form.show();
    m_tree.expandAll();
    m_tree.setCurrentIndex(m_treeModel.index(0, 0));
    form.hits()->setHits({{u"7"_s, script, u"field"_s, u"x"_s}});
    QTest::mouseClick(form.findChild<QTreeView *>(u"lstSearch"_s)->viewport(), Qt::LeftButton, {},
                      form.findChild<QTreeView *>(u"lstSearch"_s)->visualRect(form.hits()->index(0, 3)).center());
    QCOMPARE(m_collapses, 1);
    QCOMPARE(m_opened, opened);
    // Only the way to the block is open again, and the window stays.
    QCOMPARE(m_tree.currentIndex().data(ScriptTreeModel::KeyRole).toString(), opened.value(0, u"Root"_s));
    QCOMPARE(m_tree.isExpanded(m_treeModel.index(0, 0)), !opened.isEmpty());
    QVERIFY(form.isVisible());
    QVERIFY(m_messages.isEmpty());
}

void tst_SearchWindow::failingStoreIsReported()
{
    Database closed;
    SqliteStore store(closed);
    SearchWindow form(store, ScriptTreeJump{&m_tree, {}, {}, {}});
    search(form, u"Translated"_s, u"espada"_s);
    QCOMPARE(m_messages, QStringList{u"The database is not open."_s});
    QCOMPARE(form.hits()->rowCount(), 0);
}

QTEST_MAIN(tst_SearchWindow)
#include "tst_searchwindow.moc"
