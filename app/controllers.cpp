#include "app/controllers.h"

#include "app/blockeditcontroller.h"
#include "app/checkcontroller.h"
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
#include "editor/widgets/translatededit.h"

void installControllers(MainWindow &window)
{
    // One line per feature controller.
    new TreeController(window);
    auto *blocks = new BlockEditController(window);
    new ImportController(window);
    new TranslatedImportController(window);
    auto *exports = new ExportController(window);
    new SearchController(window);
    new SpellController(window);
    auto *preview = new PreviewController(window);
    new EditorController(window, *preview);
    new LinksController(window);

    const MainControls &c = window.controls();
    auto *checks = new CheckController(window, window.programFolder(), window.storePath(),
                                       {qobject_cast<TranslatedEdit *>(c.rtxtTranslated), c.lblChecks, c.picPreview,
                                        c.mnuTools},
                                       *preview, *blocks);
    QObject::connect(exports, &ExportController::exportWindowOpened, checks, &CheckController::watchExport);
    QObject::connect(&window, &MainWindow::commandRun, checks, [checks](Command command) {
        if (command == Command::ImportOriginal || command == Command::ImportTranslated
            || command == Command::ImportLinks)
            checks->projectChanged();
    });
}
