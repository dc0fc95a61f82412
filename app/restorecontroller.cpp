#include "app/restorecontroller.h"

#include "store/widgets/restorewindow.h"

RestoreController::RestoreController(const QString &programFolder, QWidget &window)
    : QObject(&window)
    , m_programFolder(programFolder)
    , m_window(window)
{
}

void RestoreController::openRestore()
{
    RestoreWindow restoring(m_programFolder, &m_window);
    connect(&restoring, &RestoreWindow::aboutToRestore, this, &RestoreController::aboutToRestore);
    connect(&restoring, &RestoreWindow::restored, this, &RestoreController::restored);
    restoring.exec();
}
