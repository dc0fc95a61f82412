#include "app/ui/messages.h"
#include "search/widgets/searchwindow.h"
#include "searchstore.h"
#include "store/scripttreemodel.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>

using namespace Qt::StringLiterals;

class tst_FrmBuscar : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void controlsAtLoad();
    void enterSearchesAsTheButtonDoes();
    void refusedInputKeepsTheList_data();
    void refusedInputKeepsTheList();
    void noHitsClearsAndStillEnds();
    void clickOpensTheBlock();
    void clickOnAnUnknownBlockDoesNothingMore();
    void missingStoreIsReported();

private:
    QTreeView *lstSearch(SearchWindow &form) { return form.findChild<QTreeView *>(u"lstSearch"_s); }
    void search(SearchWindow &form, int type, const QString &text);
    std::unique_ptr<SearchWindow> makeForm();

    QTemporaryDir m_dir;
    QString m_path;
    QStringList m_messages;
    // A stand-in for the main window's tree: folders > scripts > blocks keyed
    // as the real tree keys them.
    QStandardItemModel m_treeModel;
    QTreeView m_tree;
    QStringList m_opened;
    int m_collapses = 0;
};

namespace {

// The child keyed `key`, added when there is none yet.
QStandardItem *keyedChild(QStandardItem *parent, const QString &key, const QString &text)
{
    for (int r = 0; r < parent->rowCount(); ++r) {
        if (parent->child(r)->data(ScriptTreeModel::KeyRole).toString() == key)
            return parent->child(r);
    }
    auto *child = new QStandardItem(text);
    child->setData(key, ScriptTreeModel::KeyRole);
    parent->appendRow(child);
    return child;
}

} // namespace

void tst_FrmBuscar::initTestCase()
{
    QVERIFY(makeSearchStore(m_dir, &m_path));
    auto *root = new QStandardItem(u"Scripts"_s);
    root->setData(u"Root"_s, ScriptTreeModel::KeyRole);
    m_treeModel.appendRow(root);
    for (const SearchRow &row : searchRows()) {
        QStandardItem *script = keyedChild(keyedChild(root, row.table, row.table), row.file, row.file);
        const QString id = QString::number(row.id);
        keyedChild(script, row.table + u':' + row.file + u';' + id, id);
    }
    m_tree.setModel(&m_treeModel);
}

void tst_FrmBuscar::init()
{
    m_messages.clear();
    m_opened.clear();
    m_collapses = 0;
    Messages::setHandler([this](QWidget *, const Messages::Message &m) {
        m_messages << m.text;
        return Messages::Answer::Ok;
    });
}

void tst_FrmBuscar::cleanup()
{
    Messages::setHandler({});
}

std::unique_ptr<SearchWindow> tst_FrmBuscar::makeForm()
{
    ScriptTreeJump jump;
    jump.tree = &m_tree;
    jump.collapseAll = [this] {
        ++m_collapses;
        m_tree.collapseAll();
    };
    jump.nodeClick = [this](const QModelIndex &node) {
        m_opened << node.data(ScriptTreeModel::KeyRole).toString();
    };
    return std::make_unique<SearchWindow>(m_path, jump);
}

void tst_FrmBuscar::search(SearchWindow &form, int type, const QString &text)
{
    form.findChild<QComboBox *>(u"cmbType"_s)->setCurrentIndex(type);
    form.findChild<QLineEdit *>(u"txtSearch"_s)->setText(text);
    QTest::mouseClick(form.findChild<QPushButton *>(u"cmdBuscar"_s), Qt::LeftButton);
}

void tst_FrmBuscar::controlsAtLoad()
{
    auto form = makeForm();
    QCOMPARE(form->windowTitle(), u"Search Engine"_s);
    QVERIFY(form->isModal());
    auto *type = form->findChild<QComboBox *>(u"cmbType"_s);
    QStringList items;
    for (int i = 0; i < type->count(); ++i)
        items << type->itemText(i);
    QCOMPARE(items, (QStringList{u"Translated"_s, u"Original"_s, u"Original and Translated"_s, u"Comments"_s}));
    QCOMPARE(type->currentIndex(), 0);
    QCOMPARE(form->findChild<QPushButton *>(u"cmdBuscar"_s)->text(), u"Search"_s);
    bool note = false;
    for (QLabel *label : form->findChildren<QLabel *>())
        note |= label->text() == u"Note: You can use wildcards like % or _ in order to obtain better results."_s;
    QVERIFY(note);

    QHeaderView *header = lstSearch(*form)->header();
    const int dpi = form->logicalDpiX();
    const QList<int> twips = {700, 1000, 1500, 7370};
    for (int c = 0; c < 4; ++c)
        QCOMPARE(header->sectionSize(c), twips[c] * dpi / 1440);
    QCOMPARE(form->hits()->headerData(0, Qt::Horizontal).toString(), u"Block"_s);
}

void tst_FrmBuscar::enterSearchesAsTheButtonDoes()
{
    auto form = makeForm();
    auto *text = form->findChild<QLineEdit *>(u"txtSearch"_s);
    text->setText(u"espada"_s);
    QTest::keyClick(text, Qt::Key_Return);
    QCOMPARE(m_messages, QStringList{SearchMessages::finished});
    QCOMPARE(form->hits()->rowCount(), 2);
}

void tst_FrmBuscar::refusedInputKeepsTheList_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << u""_s << SearchMessages::emptyInput;
    QTest::newRow("one character") << u"x"_s << SearchMessages::tooShort;
}

void tst_FrmBuscar::refusedInputKeepsTheList()
{
    QFETCH(QString, typed);
    QFETCH(QString, message);
    auto form = makeForm();
    search(*form, 1, u"sword"_s);
    QCOMPARE(form->hits()->rowCount(), 2);
    m_messages.clear();
    search(*form, 1, typed);
    QCOMPARE(m_messages, QStringList{message});
    QCOMPARE(form->hits()->rowCount(), 2);
}

void tst_FrmBuscar::noHitsClearsAndStillEnds()
{
    auto form = makeForm();
    search(*form, 2, u"  "_s);
    QVERIFY(form->hits()->rowCount() > 0);
    m_messages.clear();
    search(*form, 2, u"zzz"_s);
    QCOMPARE(form->hits()->rowCount(), 0);
    QCOMPARE(m_messages, QStringList{SearchMessages::finished});
}

void tst_FrmBuscar::clickOpensTheBlock()
{
    auto form = makeForm();
    form->show();
    m_tree.expandAll();
    search(*form, 3, u"nota"_s);
    QCOMPARE(form->hits()->rowCount(), 1);
    form->openHit(form->hits()->index(0, 3));
    QCOMPARE(m_collapses, 1);
    QCOMPARE(m_opened, QStringList{u"field:town01;7"_s});
    QCOMPARE(m_tree.currentIndex().data(ScriptTreeModel::KeyRole).toString(), u"field:town01;7"_s);
    // Only the way to the block is open again; the rest stays collapsed.
    QVERIFY(m_tree.isExpanded(m_tree.currentIndex().parent()));
    QVERIFY(!m_tree.isExpanded(m_treeModel.item(0)->child(0)->index()));
    QVERIFY(form->isVisible());
}

void tst_FrmBuscar::clickOnAnUnknownBlockDoesNothingMore()
{
    auto form = makeForm();
    search(*form, 1, u"sword"_s);
    const QModelIndex before = m_treeModel.item(0)->child(1)->index();
    m_tree.setCurrentIndex(before);
    // The block went away from the tree since the search (a rebuild, say).
    form->hits()->setHits({{u"99"_s, u"gone"_s, u"field"_s, u"x"_s}});
    form->openHit(form->hits()->index(0, 0));
    QCOMPARE(m_collapses, 1);
    QVERIFY(m_opened.isEmpty());
    QCOMPARE(m_tree.currentIndex(), before);
    QCOMPARE(m_messages, QStringList{SearchMessages::finished}); // the search's own, nothing from the click
}

void tst_FrmBuscar::missingStoreIsReported()
{
    ScriptTreeJump jump;
    jump.tree = &m_tree;
    SearchWindow form(m_dir.filePath(u"missing.db"_s), jump);
    search(form, 0, u"espada"_s);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(m_messages[0].contains(u"missing.db"_s));
    QVERIFY(!QFile::exists(m_dir.filePath(u"missing.db"_s)));
}

QTEST_MAIN(tst_FrmBuscar)
#include "tst_searchwindow.moc"
