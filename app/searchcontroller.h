#pragma once

#include <QModelIndex>
#include <QObject>

#include <functional>

class frmMain;

// mnuSearch: opens the search window modally over the main window; a click
// on a hit opens its block in the main window's tree.
class SearchController : public QObject
{
    Q_OBJECT

public:
    // `nodeClick` loads the tree's selected node (Scripts_NodeClick). Empty:
    // the tree's own clicked() is raised, as a click on the node would.
    explicit SearchController(frmMain &window, std::function<void(const QModelIndex &)> nodeClick = {});

    void mnuSearch_Click();

private:
    frmMain &m_window;
    std::function<void(const QModelIndex &)> m_nodeClick;
};
