#pragma once

#include <QObject>

class ProjectStore;
class QLabel;
class QTreeView;

// The script tree and the status line of the main window: puts the tree
// model on `Scripts`, builds the tree and shows the translation status when
// start-up finds blocks, and rebuilds the tree after an import.
class TreeController : public QObject
{
    Q_OBJECT

public:
    TreeController(QTreeView &tree, QLabel &status, ProjectStore &store, QObject *parent);

    // The tree and the status line, at start-up.
    void showStore();
    // buildTree on the tree. A clash the build met is added to lblMsg on a
    // line of its own, so the text above it stays as it was.
    void rebuildTree();
    // One block's node and the counts, after a save made elsewhere.
    void updateNode(const QString &key);

private:
    QString buildTree();

    QTreeView &m_tree;
    QLabel &m_status;
    ProjectStore &m_store;
};
