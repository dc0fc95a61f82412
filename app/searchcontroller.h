#pragma once

#include <QObject>

class ProjectStore;
class QModelIndex;
class QTreeView;
class QWidget;

// mnuSearch: opens the search window modally over the main window, on the
// open store; a click on a hit selects its node in the tree and asks for the
// block to be opened.
class SearchController : public QObject
{
    Q_OBJECT

public:
    SearchController(QTreeView &tree, ProjectStore &store, QWidget &window);

    void openSearch();

signals:
    // The search window jumped to this node, as a click on it would.
    void nodeClicked(const QModelIndex &node);

private:
    QTreeView &m_tree;
    ProjectStore &m_store;
    QWidget &m_window;
};
