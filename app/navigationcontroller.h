#pragma once

#include "store/widgets/blockfilter.h"

#include <QList>
#include <QObject>

class CheckController;
class QAction;
class QComboBox;
class QLabel;
class QModelIndex;
class QTreeView;

// Moving through the work: Next/Previous Untranslated, Unrevised, With
// Findings and With Comment in the Edit menu, each opening the block it
// finds as a click on its node does; and the box above the tree that shows
// only the blocks in one state, folder and script nodes counting how many
// of theirs pass.
//
// Findings and changed originals come from the checks' last project check;
// the first use starts one and the filter follows when it is done.
//
// Thread contract: GUI thread.
class NavigationController : public QObject
{
    Q_OBJECT
public:
    struct Controls
    {
        QTreeView *tree;    // Scripts
        QComboBox *filter;  // treeFilter, above the tree
        QLabel *status;     // lblMsg
    };
    // Without `checks`, no block has findings or a changed original.
    NavigationController(const Controls &controls, CheckController *checks, QObject *parent);

    // Edit: Next/Previous by state, for the main window to place.
    const QList<QAction *> &moveActions() const { return m_moves; }

    // Opens the nearest block in `state` after (or before) the selected node.
    void moveTo(BlockState state, bool forward);
    // Narrows the tree to the state chosen in the box, or shows every block.
    void applyFilter();

signals:
    void nodeClicked(const QModelIndex &node);

private:
    void showAll();
    std::optional<CheckedKeys> keysFor(BlockState state);

    Controls m_c;
    CheckController *m_checks;
    bool m_filtered = false;
    bool m_waitingForCheck = false;
    QList<QAction *> m_moves;
};
