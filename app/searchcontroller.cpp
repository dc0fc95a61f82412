#include "app/searchcontroller.h"

#include "app/blockeditcontroller.h"
#include "app/mainwindow.h"
#include "search/widgets/frmbuscar.h"
#include "store/widgets/scripttree.h"

#include <QTreeView>

SearchController::SearchController(frmMain &window)
    : QObject(&window)
    , m_window(window)
{
    window.setCommand(Command::Search, [this] { mnuSearch_Click(); });
}

void SearchController::mnuSearch_Click()
{
    QTreeView *tree = m_window.controls().Scripts;
    ScriptTreeJump jump;
    jump.tree = tree;
    jump.colapsar = [tree] { ScriptTree::colapsar(*tree); };
    jump.findNode = [tree](const QString &key) {
        const ScriptTreeModel *model = ScriptTree::model(*tree);
        return model ? model->indexForKey(key) : QModelIndex();
    };
    jump.nodeClick = [this](const QModelIndex &node) {
        if (BlockEditController *blocks = BlockEditController::of(m_window))
            blocks->Scripts_NodeClick(node);
    };
    frmBuscar form(m_window.storePath(), jump, &m_window);
    form.exec();
}
