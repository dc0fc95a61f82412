#include "app/controllers.h"

#include "app/editorcontroller.h"
#include "app/mainwindow.h"
#include "app/previewcontroller.h"
#include "app/searchcontroller.h"
#include "app/spellcontroller.h"

void installControllers(frmMain &window)
{
    // One line per feature controller.
    new SearchController(window);
    new SpellController(window);
    new EditorController(window, *new PreviewController(window));
}
