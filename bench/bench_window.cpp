// The original import as the main window runs it once the folder is picked:
// controls greyed, progress in lblMsg and progressBar, the window repainted
// through the event loop, then the tree rebuilt. Shows what breathing costs.
#include "app/importrun.h"
#include "app/mainwindow.h"
#include "app/treecontroller.h"
#include "ui/messages.h"
#include "bench/bench.h"
#include "scripts/originalimport.h"
#include "store/layout.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTextEdit>
#include <QToolBar>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

void setupWindow(BenchContext &ctx)
{
    if (const Result<Done> made = createStore(ctx.scratch + u'/' + StoreFileName); !made)
        return ctx.fail(made.error().message);
    // No font in the scratch folder: its message is answered here.
    Messages::setHandler([](QWidget *, const Messages::Message &) { return Messages::Answer::Ok; });
    auto &window = ctx.emplace<MainWindow>(ctx.scratch);
    if (!window.load())
        return ctx.fail(u"the main window did not load"_s);
    window.show();
}

template<typename T>
T *named(MainWindow &window, const char *name)
{
    return window.findChild<T *>(QLatin1StringView(name));
}

// The window's controls an import works with, found by their names.
ImportControls importControls(MainWindow &window)
{
    return {&window,
            named<QToolBar>(window, "tool"),
            named<QTreeView>(window, "Scripts"),
            named<QAction>(window, "mnuSalir"),
            named<QAction>(window, "mnuView"),
            {named<QMenu>(window, "mnuTools"), named<QMenu>(window, "mnuTradu"),
             named<QMenu>(window, "mnuEd"), named<QMenu>(window, "mnuInsertar")},
            named<QAction>(window, "mnuAutoGuar"),
            named<QLineEdit>(window, "txtPath"),
            named<QLabel>(window, "lblMsg"),
            named<QProgressBar>(window, "progressBar"),
            named<QTextEdit>(window, "rtxtOriginal"),
            named<QPlainTextEdit>(window, "rtxtTranslated"),
            named<QPlainTextEdit>(window, "txtComentario"),
            named<QCheckBox>(window, "chkRevised")};
}

void importInWindow(BenchContext &ctx)
{
    auto &window = ctx.state<MainWindow>();
    ImportRun run(importControls(window));
    run.disableControls();
    const OriginalImport::Result result = OriginalImport::Importer(window.db(), ctx.corpus, run.pacer()).run();
    window.findChild<TreeController *>()->rebuildTree();
    run.finish();
    if (!result)
        return ctx.fail(result.error().message);
    ctx.record(u"blocks"_s, result->blocks);
    ctx.record(u"breaths"_s, run.pacer().breaths());
    ctx.record(u"breathing ms"_s, QString::number(run.pacer().breathingMs(), 'f', 1));
}

} // namespace

TALLOWPEN_BENCH("import originals in the window", setupWindow, importInWindow);
