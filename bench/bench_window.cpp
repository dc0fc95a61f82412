// The original import as the main window runs it once the folder is picked:
// controls greyed, progress in lblMsg and prgWork, the window repainted
// through the event loop, then the tree rebuilt. Shows what breathing costs.
#include "app/importrun.h"
#include "app/mainwindow.h"
#include "app/treecontroller.h"
#include "app/ui/messages.h"
#include "bench/bench.h"
#include "scripts/originalimport.h"
#include "store/layout.h"

using namespace Qt::StringLiterals;

namespace {

void setupWindow(BenchContext &ctx)
{
    StoreError error;
    if (!createStore(ctx.scratch + u'/' + StoreFileName, &error))
        return ctx.fail(error.message);
    // No font in the scratch folder: its message is answered here.
    Messages::setHandler([](QWidget *, const Messages::Message &) { return Messages::Answer::Ok; });
    auto &window = ctx.emplace<MainWindow>(ctx.scratch);
    if (!window.load())
        return ctx.fail(u"the main window did not load"_s);
    window.show();
}

void importInWindow(BenchContext &ctx)
{
    auto &window = ctx.state<MainWindow>();
    ImportRun run(window);
    run.disableControls();
    const OriginalImport::Result result = OriginalImport::Importer(window.db(), ctx.corpus, run.pacer()).run();
    TreeController::rebuildTree(window);
    run.finish();
    if (!result.ok)
        return ctx.fail(result.message);
    ctx.record(u"blocks"_s, result.blocks);
    ctx.record(u"breaths"_s, run.pacer().breaths());
    ctx.record(u"breathing ms"_s, QString::number(run.pacer().breathingMs(), 'f', 1));
}

} // namespace

TALLOWPEN_BENCH("import originals in the window", setupWindow, importInWindow);
