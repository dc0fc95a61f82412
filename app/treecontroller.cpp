#include "app/treecontroller.h"

#include "keeping/projectstore.h"
#include "store/blockedit.h"
#include "store/translationstatus.h"
#include "store/widgets/scripttreemodel.h"
#include "store/widgets/scripttree.h"

#include <QLabel>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

void addLine(QLabel &label, const QString &line)
{
    if (!line.isEmpty())
        label.setText(label.text().isEmpty() ? line : label.text() + u'\n' + line);
}

} // namespace

TreeController::TreeController(QTreeView &tree, QLabel &status, ProjectStore &store, QObject *parent)
    : QObject(parent)
    , m_tree(tree)
    , m_status(status)
    , m_store(store)
{
    ScriptTree::installScriptTree(m_tree);
}

// A line for the user when the build met a clash or failed; empty otherwise.
QString TreeController::buildTree()
{
    const Result<TreeTables> rows = m_store.treeRows();
    if (!rows) {
        ScriptTree::clearTree(m_tree);
        return u"The script tree could not be read: "_s + rows.error().message;
    }
    const ScriptTreeModel::BuildReport report = ScriptTree::buildTree(m_tree, *rows);
    return ScriptTree::clashLine(report);
}

void TreeController::rebuildTree()
{
    addLine(m_status, buildTree());
}

void TreeController::showStore()
{
    const QString note = buildTree();
    const Result<TranslationCount> count = m_store.countBlocks();
    if (count && count->hasBlocks())
        m_status.setText(statusLine(count->percent()));
    else if (!count)
        m_status.setText(u"The translation status could not be counted: "_s + count.error().message);
    addLine(m_status, note);
}

void TreeController::updateNode(const QString &key)
{
    ScriptTreeModel *model = ScriptTree::model(m_tree);
    const QModelIndex node = model ? model->indexForKey(key) : QModelIndex();
    const Result<BlockRead> read = m_store.loadBlock(key);
    if (node.isValid() && read && read->load.stored && read->load.address) {
        const BlockSnapshot &now = *read->load.stored;
        // As a save of these values sets them.
        model->setImage(node, !now.translated ? 4 : (now.revised ? 7 : 5));
        model->setText(node, commentMarkerText(model->text(node), now.comments, read->load.address->number));
    }
    if (const Result<TranslationCount> count = m_store.countBlocks(); count && count->hasBlocks())
        m_status.setText(statusLine(count->percent()));
}
