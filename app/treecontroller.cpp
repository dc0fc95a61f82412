#include "app/treecontroller.h"

#include "store/translationstatus.h"
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

TreeController::TreeController(QTreeView &tree, QLabel &status, Database &db, QObject *parent)
    : QObject(parent)
    , m_tree(tree)
    , m_status(status)
    , m_db(db)
{
    ScriptTree::installScriptTree(m_tree);
}

// A line for the user when the build met a clash or failed; empty otherwise.
QString TreeController::buildTree()
{
    const ScriptTreeModel::BuildReport report = ScriptTree::buildTree(m_tree, m_db);
    if (!report.ok)
        return u"The script tree could not be read: "_s + report.error.message;
    return ScriptTree::clashLine(report);
}

void TreeController::rebuildTree()
{
    addLine(m_status, buildTree());
}

void TreeController::showStore()
{
    const QString note = buildTree();
    const Result<TranslationCount> count = translationPercent(m_db);
    if (!count)
        m_status.setText(u"The translation status could not be counted: "_s + count.error().message);
    else if (count->hasBlocks())
        m_status.setText(statusLine(count->percent()));
    addLine(m_status, note);
}
