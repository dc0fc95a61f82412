#pragma once

#include <QModelIndex>
#include <QString>

#include <functional>

class QAbstractItemModel;
class QTreeView;

// What the search window needs of the main window's script tree to open a
// found block there, as the tree itself would on a click.
struct ScriptTreeJump
{
    QTreeView *tree = nullptr;
    // The node whose key equals the given key; invalid when there is none.
    // Empty: the tree's model is walked from its first node to its last.
    std::function<QModelIndex(const QString &key)> findNode;
    // collapseAll. Empty: every node of the tree is collapsed.
    std::function<void()> collapseAll;
    // Scripts_NodeClick with the tree's selected node.
    std::function<void(const QModelIndex &node)> nodeClick;
};

// Collapses the tree, finds the block's node, selects it and opens it. A key
// that names no node does nothing more; false then.
bool jumpToBlock(const ScriptTreeJump &jump, const QString &key);

// The first node, in tree order, whose `keyRole` data equals `key`.
QModelIndex findNodeByKey(const QAbstractItemModel *model, const QString &key, int keyRole);
