#include "app/treecontroller.h"

#include "app/mainwindow.h"
#include "store/translationstatus.h"
#include "store/widgets/scripttree.h"

#include <QLabel>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

// buildTree; returns a line for the user when the build met a clash or failed.
QString buildTree(MainWindow &window)
{
    const ScriptTreeModel::BuildReport report = ScriptTree::buildTree(*window.controls().Scripts, window.db());
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

TreeController::TreeController(MainWindow &window)
    : QObject(&window)
    , m_window(window)
{
    ScriptTree::installScriptTree(*window.controls().Scripts);
    connect(&window, &MainWindow::storeReady, this, &TreeController::showStore);
}

void TreeController::rebuildTree(MainWindow &window)
{
    addLine(window.controls().lblMsg, buildTree(window));
}

void TreeController::showStore()
{
    const QString note = buildTree(m_window);
    QLabel *label = m_window.controls().lblMsg;
    const TranslationCount count = translationPercent(m_window.db());
    if (count.hasBlocks())
        label->setText(statusLine(count.percent()));
    else if (!count.ok)
        label->setText(u"The translation status could not be counted: "_s + count.error.message);
    addLine(label, note);
}
