#include "app/controllers.h"

#include "app/blockeditcontroller.h"
#include "app/editorcontroller.h"
#include "app/exportcontroller.h"
#include "app/historycontroller.h"
#include "app/importcontroller.h"
#include "app/linkscontroller.h"
#include "app/mainwindow.h"
#include "app/previewcontroller.h"
#include "app/restorecontroller.h"
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

    auto &c = window.controls();
    BlockEditController *blocks = BlockEditController::of(window);
    auto *history = new HistoryController({c.rtxtTranslated, c.txtComentario, c.chkRevised, c.mnuHistory},
                                          window.storePath(), window);
    QObject::connect(blocks, &BlockEditController::blockLoaded, history, &HistoryController::setOpenBlock);
    window.setCommand(Command::BlockHistory, [history] { history->openHistory(); });
    auto *restoring = new RestoreController(window.programFolder(), window);
    // The open block's edits are saved and the editors emptied before the
    // store is replaced; the tree and the status line then show the copy.
    QObject::connect(restoring, &RestoreController::aboutToRestore, blocks, [blocks] { blocks->openBlock({}); });
    QObject::connect(restoring, &RestoreController::restored, &window, &MainWindow::storeReady);
    window.setCommand(Command::RestoreBackup, [restoring] { restoring->openRestore(); });
}
