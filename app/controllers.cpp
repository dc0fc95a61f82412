#include "app/controllers.h"

#include "app/mainwindow.h"

void installControllers(frmMain &window)
{
    // One line per feature controller.
    Q_UNUSED(window);
}
