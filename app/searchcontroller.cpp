#include "app/searchcontroller.h"

#include "app/blockeditcontroller.h"
#include "app/mainwindow.h"
#include "search/widgets/searchwindow.h"
#include "store/widgets/scripttree.h"

#include <QTreeView>

SearchController::SearchController(MainWindow &window)
    : QObject(&window)
    , m_window(window)
{
    window.setCommand(Command::Search, [this] { openSearch(); });
}

void SearchController::openSearch()
{
    QTreeView *tree = m_window.controls().Scripts;
    ScriptTreeJump jump;
    jump.tree = tree;
    jump.collapseAll = [tree] { ScriptTree::collapseAll(*tree); };
    jump.findNode = [tree](const QString &key) {
        const ScriptTreeModel *model = ScriptTree::model(*tree);
        return model ? model->indexForKey(key) : QModelIndex();
    };
    jump.nodeClick = [this](const QModelIndex &node) {
        if (BlockEditController *blocks = BlockEditController::of(m_window))
            blocks->openBlock(node);
    };
    SearchWindow form(m_window.storePath(), jump, &m_window);
    form.exec();
}
