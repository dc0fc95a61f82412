#include "app/exportcontroller.h"

#include "scripts/widgets/exportwindow.h"
#include "scripts/widgets/scriptviewwindow.h"
#include "store/widgets/scripttree.h"

#include <QTextEdit>

ExportController::ExportController(QTextEdit &original, QTreeView &tree, const QString &programFolder,
                                   const QString &storePath, QWidget &window, ProjectStore *server)
    : QObject(&window)
    , m_original(original)
    , m_tree(tree)
    , m_programFolder(programFolder)
    , m_storePath(storePath)
    , m_server(server)
    , m_window(window)
{
}

void ExportController::openExport()
{
    ExportWindow dialog(m_programFolder, m_storePath, &m_window);
    emit exportWindowOpened(dialog);
    dialog.exec();
}

void ExportController::openScriptView()
{
    if (m_original.document()->isEmpty())
        return;
    const QString key = ScriptTree::selectedKey(m_tree);
    if (m_server) {
        ScriptViewWindow view(*m_server, key, &m_window);
        view.exec();
        return;
    }
    ScriptViewWindow view(m_storePath, key, &m_window);
    view.exec();
}
