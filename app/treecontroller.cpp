#include "app/treecontroller.h"

#include "app/mainwindow.h"
#include "store/translationstatus.h"
#include "store/widgets/scripttree.h"

#include <QLabel>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

// BuildTree; returns a line for the user when the build met a clash or failed.
QString buildTree(frmMain &window)
{
    const ScriptTreeModel::BuildReport report = ScriptTree::BuildTree(*window.controls().Scripts, window.db());
    if (!report.ok)
        return u"The script tree could not be read: "_s + report.error.message;
    return ScriptTree::clashLine(report);
}

void addLine(QLabel *label, const QString &line)
{
    if (!line.isEmpty())
        label->setText(label->text().isEmpty() ? line : label->text() + u'\n' + line);
}

} // namespace

TreeController::TreeController(frmMain &window)
    : QObject(&window)
    , m_window(window)
{
    ScriptTree::installScriptTree(*window.controls().Scripts);
    connect(&window, &frmMain::storeReady, this, &TreeController::showStore);
}

void TreeController::rebuildTree(frmMain &window)
{
    addLine(window.controls().lblMsg, buildTree(window));
}

void TreeController::showStore()
{
    const QString note = buildTree(m_window);
    QLabel *label = m_window.controls().lblMsg;
    const TranslationCount count = TranslationPercent(m_window.db());
    if (count.hasBlocks())
        label->setText(StatusLine(count.percent()));
    else if (!count.ok)
        label->setText(u"The translation status could not be counted: "_s + count.error.message);
    addLine(label, note);
}
