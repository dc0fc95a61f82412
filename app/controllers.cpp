#include "app/controllers.h"

#include "app/blockeditcontroller.h"
#include "app/editorcontroller.h"
#include "app/exportcontroller.h"
#include "app/importcontroller.h"
#include "app/linkscontroller.h"
#include "app/mainwindow.h"
#include "app/previewcontroller.h"
#include "app/searchcontroller.h"
#include "app/spellcontroller.h"
#include "app/translatedimportcontroller.h"
#include "app/treecontroller.h"

void installControllers(MainWindow &window)
{
    // One line per feature controller.
    new TreeController(window);
    new BlockEditController(window);
    new ImportController(window);
    new TranslatedImportController(window);
    new ExportController(window);
    new SearchController(window);
    new SpellController(window);
    new EditorController(window, *new PreviewController(window));
    new LinksController(window);
}
