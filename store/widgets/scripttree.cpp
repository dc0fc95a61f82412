#include "store/widgets/scripttree.h"

#include <QFile>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace ScriptTree {

ScriptTreeModel *installScriptTree(QTreeView &tree)
{
    if (ScriptTreeModel *existing = model(tree))
        return existing;
    auto *treeModel = new ScriptTreeModel(&tree);
    treeModel->setImages(treeImages());
    // Every row is one line of text with a 16x16 icon: uniform heights spare
    // the view from measuring tens of thousands of rows.
    tree.setUniformRowHeights(true);
    tree.setHeaderHidden(true);
    tree.setModel(treeModel);
    return treeModel;
}

ScriptTreeModel *model(const QTreeView &tree)
{
    return qobject_cast<ScriptTreeModel *>(tree.model());
}

std::array<QIcon, 7> treeImages()
{
    std::array<QIcon, 7> icons;
    for (int i = 0; i < 7; ++i) {
        const QString path = u":/tallowpen/tree/%1.png"_s.arg(i + 1);
        if (QFile::exists(path))
            icons[size_t(i)] = QIcon(path);
    }
    return icons;
}

namespace {

ScriptTreeModel::BuildReport showBuilt(QTreeView &tree, ScriptTreeModel &treeModel,
                                       ScriptTreeModel::BuildReport report)
{
    const QModelIndex root = treeModel.index(0, 0);
    if (root.isValid())
        tree.setCurrentIndex(root);
    collapseAll(tree);
    return report;
}

} // namespace

ScriptTreeModel::BuildReport buildTree(QTreeView &tree, Database &db)
{
    ScriptTreeModel *treeModel = installScriptTree(tree);
    return showBuilt(tree, *treeModel, treeModel->build(db));
}

ScriptTreeModel::BuildReport buildTree(QTreeView &tree, const ScriptNodes::Tables &rows)
{
    ScriptTreeModel *treeModel = installScriptTree(tree);
    return showBuilt(tree, *treeModel, treeModel->build(rows));
}

void clearTree(QTreeView &tree)
{
    if (ScriptTreeModel *treeModel = model(tree))
        treeModel->clear();
}

void collapseAll(QTreeView &tree)
{
    tree.collapseAll();
}

QString selectedKey(const QTreeView &tree)
{
    const ScriptTreeModel *treeModel = model(tree);
    return treeModel ? treeModel->key(tree.currentIndex()) : QString();
}

bool selectKey(QTreeView &tree, const QString &key)
{
    const ScriptTreeModel *treeModel = model(tree);
    const QModelIndex index = treeModel ? treeModel->indexForKey(key) : QModelIndex();
    if (!index.isValid())
        return false;
    // A found node is of no use hidden inside a collapsed script.
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        tree.expand(up);
    tree.setCurrentIndex(index);
    tree.scrollTo(index);
    return true;
}

QString clashLine(const ScriptTreeModel::BuildReport &report)
{
    if (report.messages.isEmpty())
        return {};
    const qsizetype more = report.messages.size() - 1;
    QString line = u"Script tree: "_s + report.messages.first();
    if (more > 0)
        line += u" (and %1 more clashes)"_s.arg(more);
    return line;
}

} // namespace ScriptTree
