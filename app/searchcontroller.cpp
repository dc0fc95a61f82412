#include "app/searchcontroller.h"

#include "search/widgets/searchwindow.h"
#include "store/widgets/scripttree.h"

#include <QTreeView>

SearchController::SearchController(QTreeView &tree, ProjectStore &store, QWidget &window)
    : QObject(&window)
    , m_tree(tree)
    , m_store(store)
    , m_window(window)
{
}

void SearchController::openSearch()
{
    QTreeView *tree = &m_tree;
    ScriptTreeJump jump;
    jump.tree = tree;
    jump.collapseAll = [tree] { ScriptTree::collapseAll(*tree); };
    jump.findNode = [tree](const QString &key) {
        const ScriptTreeModel *model = ScriptTree::model(*tree);
        return model ? model->indexForKey(key) : QModelIndex();
    };
    jump.nodeClick = [this](const QModelIndex &node) { emit nodeClicked(node); };
    SearchWindow form(m_store, jump, &m_window);
    form.exec();
}
