#include "app/searchcontroller.h"

#include "app/mainwindow.h"
#include "search/widgets/frmbuscar.h"

#include <QTreeView>

SearchController::SearchController(frmMain &window, std::function<void(const QModelIndex &)> nodeClick)
    : QObject(&window)
    , m_window(window)
    , m_nodeClick(std::move(nodeClick))
{
    window.setCommand(Command::Search, [this] { mnuSearch_Click(); });
}

void SearchController::mnuSearch_Click()
{
    QTreeView *tree = m_window.controls().Scripts;
    ScriptTreeJump jump;
    jump.tree = tree;
    jump.nodeClick = m_nodeClick ? m_nodeClick : [tree](const QModelIndex &node) { emit tree->clicked(node); };
    frmBuscar form(m_window.storePath(), jump, &m_window);
    form.exec();
}
