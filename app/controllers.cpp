#include "app/controllers.h"

#include "app/editorcontroller.h"
#include "app/importcontroller.h"
#include "app/mainwindow.h"
#include "app/previewcontroller.h"
#include "app/treecontroller.h"

void installControllers(frmMain &window)
{
    // One line per feature controller.
    new TreeController(window);
    new ImportController(window);
    new EditorController(window, *new PreviewController(window));
}
