#include "app/replacecontroller.h"

#include "search/widgets/replacewindow.h"
#include "store/blockedit.h"
#include "store/widgets/scripttree.h"

#include <QAction>
#include <QMenu>
#include <QTreeView>

using namespace Qt::StringLiterals;

ReplaceController::ReplaceController(QTreeView &tree, const QString &storePath, QWidget &window)
    : QObject(&window)
    , m_tree(tree)
    , m_storePath(storePath)
    , m_window(window)
{
    m_replaceAction = new QAction(u"Replace..."_s, this);
    m_replaceAction->setObjectName(u"replaceAction"_s);
    m_replaceAction->setShortcut(QKeySequence(u"Ctrl+H"_s));
    connect(m_replaceAction, &QAction::triggered, this, &ReplaceController::openReplace);
}

void ReplaceController::openReplace()
{
    ReplaceWindow form(m_storePath, &m_window);
    connect(&form, &ReplaceWindow::aboutToReplace, this, &ReplaceController::saveRequested);
    connect(&form, &ReplaceWindow::replaced, this, &ReplaceController::replaced);
    form.exec();
}

void ReplaceController::replaced(const ReplaceBatch &batch, ReplaceField field)
{
    ScriptTreeModel *model = ScriptTree::model(m_tree);
    if (!model)
        return;
    const QString open = ScriptTree::selectedKey(m_tree);
    bool openChanged = false;
    for (const ReplacedBlock &block : batch.blocks) {
        openChanged |= block.key == open;
        const QModelIndex node = model->indexForKey(block.key);
        if (!node.isValid())
            continue;
        if (field == ReplaceField::Comments)
            model->setText(node, commentMarkerText(model->text(node), block.after, block.address.number));
        else
            model->setImage(node, block.after.isEmpty() ? ScriptTreeModel::NotTranslated : model->image(node));
    }
    if (openChanged)
        emit nodeClicked(m_tree.currentIndex());
    emit batchDone(batch);
}
