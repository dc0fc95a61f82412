#include "app/controllers.h"

#include "app/blockeditcontroller.h"
#include "app/exportcontroller.h"
#include "app/mainwindow.h"

void installControllers(frmMain &window)
{
    // One line per feature controller.
    new BlockEditController(window);
    new ExportController(window);
}
