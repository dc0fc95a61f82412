#pragma once

#include "search/replace.h"

#include <QObject>

class QAction;
class QModelIndex;
class QTreeView;
class QWidget;

// Edit > Replace... (Ctrl+H): the replace window over the store. The open
// block is saved before a step writes blocks and loaded again after, so the
// editors never hold a text the step replaced; comment markers follow.
class ReplaceController : public QObject
{
    Q_OBJECT
public:
    ReplaceController(QTreeView &tree, const QString &storePath, QWidget &window);

    // Edit, "Replace...", for the main window to place.
    QAction *replaceAction() const { return m_replaceAction; }
    void openReplace();

signals:
    void saveRequested();
    void nodeClicked(const QModelIndex &node);
    // A replace step is done: its blocks and the backup it made, to be kept
    // as the last batch that can be undone.
    void batchDone(const ReplaceBatch &batch);

private:
    void replaced(const ReplaceBatch &batch, ReplaceField field);

    QTreeView &m_tree;
    QString m_storePath;
    QWidget &m_window;
    QAction *m_replaceAction = nullptr;
};
