#include "app/controllers.h"

#include "app/editorcontroller.h"
#include "app/linkscontroller.h"
#include "app/mainwindow.h"
#include "app/previewcontroller.h"

void installControllers(frmMain &window)
{
    // One line per feature controller.
    new EditorController(window, *new PreviewController(window));
    new LinksController(window);
}
