#include "app/exportcontroller.h"

#include "app/mainwindow.h"
#include "scripts/widgets/frmexport.h"
#include "scripts/widgets/frmview.h"
#include "store/widgets/scripttree.h"

#include <QTextEdit>

ExportController::ExportController(frmMain &window)
    : QObject(&window)
    , m_window(window)
{
    window.setCommand(Command::ExportTranslated, [this] { mnuExpTra_Click(); });
    window.setCommand(Command::ViewScript, [this] { mnuView_Click(); });
}

void ExportController::mnuExpTra_Click()
{
    frmExport dialog(m_window.programFolder(), m_window.storePath(), &m_window);
    dialog.exec();
}

void ExportController::mnuView_Click()
{
    const MainControls &c = m_window.controls();
    if (c.rtxtOriginal->document()->isEmpty())
        return;
    frmView view(m_window.storePath(), ScriptTree::selectedKey(*c.Scripts), &m_window);
    view.exec();
}
