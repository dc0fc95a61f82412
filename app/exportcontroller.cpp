#include "app/exportcontroller.h"

#include "app/mainwindow.h"
#include "scripts/widgets/exportwindow.h"
#include "scripts/widgets/scriptviewwindow.h"
#include "store/widgets/scripttree.h"

#include <QTextEdit>

ExportController::ExportController(MainWindow &window)
    : QObject(&window)
    , m_window(window)
{
    window.setCommand(Command::ExportTranslated, [this] { openExport(); });
    window.setCommand(Command::ViewScript, [this] { openScriptView(); });
}

void ExportController::openExport()
{
    ExportWindow dialog(m_window.programFolder(), m_window.storePath(), &m_window);
    emit exportWindowOpened(dialog);
    dialog.exec();
}

void ExportController::openScriptView()
{
    const MainControls &c = m_window.controls();
    if (c.rtxtOriginal->document()->isEmpty())
        return;
    ScriptViewWindow view(m_window.storePath(), ScriptTree::selectedKey(*c.Scripts), &m_window);
    view.exec();
}
