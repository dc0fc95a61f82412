#include "search/widgets/blockjump.h"

#include "store/widgets/scripttreemodel.h"

#include <QTreeView>

QModelIndex findNodeByKey(const QAbstractItemModel *model, const QString &key, int keyRole)
{
    if (!model)
        return {};
    // Depth first, parents before children: the tree's own node order.
    std::function<QModelIndex(const QModelIndex &)> walk = [&](const QModelIndex &parent) -> QModelIndex {
        const int rows = model->rowCount(parent);
        for (int r = 0; r < rows; ++r) {
            const QModelIndex node = model->index(r, 0, parent);
            if (model->data(node, keyRole).toString() == key)
                return node;
            if (const QModelIndex found = walk(node); found.isValid())
                return found;
        }
        return {};
    };
    return walk({});
}

bool jumpToBlock(const ScriptTreeJump &jump, const QString &key)
{
    if (!jump.tree)
        return false;
    if (jump.collapseAll)
        jump.collapseAll();
    else
        jump.tree->collapseAll();

    const QModelIndex node =
        jump.findNode ? jump.findNode(key) : findNodeByKey(jump.tree->model(), key, ScriptTreeModel::KeyRole);
    if (!node.isValid())
        return false;

    // Selecting a node shows it: its folder and script open again.
    jump.tree->setCurrentIndex(node);
    jump.tree->scrollTo(node);
    if (jump.nodeClick)
        jump.nodeClick(jump.tree->currentIndex());
    return true;
}
