#pragma once

#include "store/widgets/scripttreemodel.h"

#include <QString>

#include <array>

class QTreeView;

// The script tree as the main window shows it: the view `Scripts` carries a
// ScriptTreeModel, installed once by installScriptTree(). Everything else
// here works through the view, as the tree's users hold only the view.
namespace ScriptTree {

// Puts a model (owned by the view) with the tree images on `tree`; returns it.
ScriptTreeModel *installScriptTree(QTreeView &tree);
// The model installed on `tree`; nullptr before installScriptTree().
ScriptTreeModel *model(const QTreeView &tree);

// The seven tree images from :/tallowpen/tree/1.png .. 7.png; a missing one
// stays a null icon and its nodes show no picture.
std::array<QIcon, 7> treeImages();

// Fills the tree from the three tables, selects the root and collapses all.
ScriptTreeModel::BuildReport buildTree(QTreeView &tree, Database &db);
// The same from rows a store read.
ScriptTreeModel::BuildReport buildTree(QTreeView &tree, const ScriptNodes::Tables &rows);
// Empties the tree; harmless on an empty one.
void clearTree(QTreeView &tree);
// Collapses every node, leaving only the root visible.
void collapseAll(QTreeView &tree);

// The key of the selected (current) node; empty when none.
QString selectedKey(const QTreeView &tree);
// Makes the node of `key` the current node, expanding its ancestors and
// scrolling to it; false when the tree holds no such key.
bool selectKey(QTreeView &tree, const QString &key);

// One line for the status label when the build met clashes; empty otherwise.
QString clashLine(const ScriptTreeModel::BuildReport &report);

} // namespace ScriptTree
