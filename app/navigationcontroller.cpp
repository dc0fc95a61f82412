#include "app/navigationcontroller.h"

#include "app/checkcontroller.h"
#include "store/widgets/scripttree.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

struct Move
{
    BlockState state;
    const char *next;
    const char *previous;
    const char *name;
    char key;
};

const Move Moves[] = {
    {BlockState::Untranslated, "Next Untranslated", "Previous Untranslated", "Untranslated", 'U'},
    {BlockState::NotRevised, "Next Unrevised", "Previous Unrevised", "Unrevised", 'R'},
    {BlockState::WithFindings, "Next With Findings", "Previous With Findings", "WithFindings", 'F'},
    {BlockState::WithComment, "Next With Comment", "Previous With Comment", "WithComment", 'C'},
};

} // namespace

NavigationController::NavigationController(const Controls &controls, CheckController *checks, QObject *parent)
    : QObject(parent)
    , m_c(controls)
    , m_checks(checks)
{
    for (const Move &move : Moves) {
        for (const bool forward : {true, false}) {
            auto *action = new QAction(QString::fromLatin1(forward ? move.next : move.previous), this);
            connect(action, &QAction::triggered, this, [this, state = move.state, forward] { moveTo(state, forward); });
            m_moves << action;
            action->setObjectName((forward ? u"next"_s : u"previous"_s) + QLatin1StringView(move.name) + u"Action"_s);
            action->setShortcut(QKeySequence((forward ? u"Ctrl+Alt+"_s : u"Ctrl+Alt+Shift+"_s) + QLatin1Char(move.key)));
        }
    }
    m_c.filter->addItems(blockStateCaptions());
    m_c.filter->setToolTip(u"Show only the blocks in this state"_s);
    connect(m_c.filter, &QComboBox::currentIndexChanged, this, &NavigationController::applyFilter);
    if (m_checks) {
        connect(m_checks, &CheckController::projectChecked, this, [this] {
            if (std::exchange(m_waitingForCheck, false))
                applyFilter();
        });
    }
}

std::optional<CheckedKeys> NavigationController::keysFor(BlockState state)
{
    if (!m_checks || (state != BlockState::WithFindings && state != BlockState::ChangedOriginal))
        return CheckedKeys();
    auto keys = m_checks->checkedKeys();
    if (!keys)
        m_c.status->setText(u"Checking the project; the blocks follow when it is done."_s);
    return keys;
}

void NavigationController::moveTo(BlockState state, bool forward)
{
    ScriptTreeModel *model = ScriptTree::model(*m_c.tree);
    if (!model || !model->isBuilt())
        return;
    const auto keys = keysFor(state);
    if (!keys)
        return;
    QModelIndex from = m_c.tree->currentIndex();
    QModelIndex found = nearestBlock(*model, from, forward, state, *keys);
    // Blocks the filter hides are passed over: the translator asked to see the others.
    while (found.isValid() && m_c.tree->isRowHidden(found.row(), found.parent()))
        found = nearestBlock(*model, found, forward, state, *keys);
    if (!found.isValid()) {
        m_c.status->setText(forward ? u"No such block after this one."_s : u"No such block before this one."_s);
        return;
    }
    ScriptTree::selectKey(*m_c.tree, model->key(found));
    emit nodeClicked(m_c.tree->currentIndex());
}

void NavigationController::showAll()
{
    ScriptTreeModel *model = ScriptTree::model(*m_c.tree);
    if (!model || !m_filtered)
        return;
    m_filtered = false;
    model->setPassCounts({});
    const QModelIndex root = model->index(0, 0);
    for (int f = 0; f < model->rowCount(root); ++f) {
        const QModelIndex folder = model->index(f, 0, root);
        for (int s = 0; s < model->rowCount(folder); ++s) {
            const QModelIndex script = model->index(s, 0, folder);
            m_c.tree->setRowHidden(s, folder, false);
            for (int b = 0; b < model->rowCount(script); ++b)
                m_c.tree->setRowHidden(b, script, false);
        }
    }
}

void NavigationController::applyFilter()
{
    const auto state = BlockState(m_c.filter->currentIndex());
    ScriptTreeModel *model = ScriptTree::model(*m_c.tree);
    showAll();
    if (!model || !model->isBuilt() || state == BlockState::All)
        return;
    const auto keys = keysFor(state);
    if (!keys) {
        m_waitingForCheck = true;
        return;
    }
    const FilterResult result = filterBlocks(*model, state, *keys);
    m_filtered = true;
    model->setPassCounts(result.counts);
    const QModelIndex root = model->index(0, 0);
    for (int f = 0; f < model->rowCount(root); ++f) {
        const QModelIndex folder = model->index(f, 0, root);
        for (int s = 0; s < model->rowCount(folder); ++s) {
            const QModelIndex script = model->index(s, 0, folder);
            if (result.counts.value(model->key(script)) == 0) {
                m_c.tree->setRowHidden(s, folder, true);
                continue;
            }
            for (int b = 0; b < model->rowCount(script); ++b) {
                if (result.hiddenBlocks.contains(model->index(b, 0, script).internalPointer()))
                    m_c.tree->setRowHidden(b, script, true);
            }
        }
    }
}
