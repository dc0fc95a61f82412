// One automatic save in the running main window, the export of every script
// and the import of translations, on the whole corpus.
#include "app/blockeditcontroller.h"
#include "app/mainwindow.h"
#include "ui/messages.h"
#include "bench/bench.h"
#include "bench/importedstore.h"
#include "scripts/scriptexport.h"
#include "scripts/translatedimport.h"
#include "store/database.h"
#include "store/layout.h"
#include "store/widgets/scripttree.h"
#include "store/nodekey.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

// A copy of the shared store in the run's scratch folder, for cases that write.
QString storeCopy(BenchContext &ctx)
{
    const QString shared = importedStore(ctx);
    if (shared.isEmpty())
        return {};
    const QString copy = QDir(ctx.scratch).filePath(StoreFileName);
    // A journal still beside the store holds part of it.
    const bool journal = QFile::exists(shared + u"-wal"_s);
    if (!QFile::copy(shared, copy) || (journal && !QFile::copy(shared + u"-wal"_s, copy + u"-wal"_s))) {
        ctx.fail(u"cannot copy the store to "_s + copy);
        return {};
    }
    return copy;
}

// The first block key of field, whatever the corpus holds.
QString firstFieldBlock(BenchContext &ctx, Database &db)
{
    Result<ResultSet> rows = db.query(u"SELECT * FROM field"_s);
    if (!rows->next()) {
        ctx.fail(u"the corpus has no field block"_s);
        return {};
    }
    return blockKey(ScriptTables::field, rows->text(ColFileName), rows->text(ColDialogueId));
}

struct SaveState
{
    std::unique_ptr<MainWindow> window;
    BlockEditController *edit = nullptr;
    QString key;
};

void setupSave(BenchContext &ctx)
{
    if (storeCopy(ctx).isEmpty())
        return;
    // No font in the scratch folder: its message is answered here.
    Messages::setHandler([](QWidget *, const Messages::Message &) { return Messages::Answer::Ok; });
    auto &state = ctx.emplace<SaveState>();
    state.window = std::make_unique<MainWindow>(ctx.scratch);
    if (!state.window->load())
        return ctx.fail(u"the main window did not load"_s);
    state.window->findChild<QTimer *>(u"saveTime"_s)->stop();
    state.edit = state.window->findChild<BlockEditController *>();
    state.key = firstFieldBlock(ctx, state.window->db());
    if (state.key.isEmpty())
        return;
    auto *tree = state.window->findChild<QTreeView *>(u"Scripts"_s);
    if (!ScriptTree::selectKey(*tree, state.key))
        return ctx.fail(u"the block is not in the tree"_s);
    state.edit->openBlock(tree->currentIndex());
    // The window has been saving for a while (its journal is there), and the
    // translator typed since the last tick, so the tick has a row to write.
    auto *editor = state.window->findChild<QPlainTextEdit *>(u"rtxtTranslated"_s);
    editor->setPlainText(u"Saved once before.<End of Block>"_s);
    state.edit->automaticSaveTick();
    editor->setPlainText(u"Saved by the benchmark.<End of Block>"_s);
    QCoreApplication::processEvents();
    Messages::setHandler({});
}

void save(BenchContext &ctx)
{
    auto &state = ctx.state<SaveState>();
    const qint64 before = state.window->db().changedRows();
    state.edit->automaticSaveTick();
    if (state.window->db().changedRows() != before + 1)
        return ctx.fail(u"the tick wrote no row"_s);
    ctx.record(u"status"_s, state.window->findChild<QLabel *>(u"lblMsg"_s)->text());
}

struct ExportState
{
    Database db;
    std::vector<ExportListRow> rows;
};

void setupExport(BenchContext &ctx)
{
    const QString store = importedStore(ctx);
    if (store.isEmpty())
        return;
    auto &state = ctx.emplace<ExportState>();
    if (const Result<Done> opened = openStore(state.db, store); !opened)
        return ctx.fail(opened.error().message);
    Result<std::vector<ExportListRow>> rows = fillExportList(state.db, 0, false);
    if (!rows)
        return ctx.fail(rows.error().message);
    state.rows = std::move(*rows);
}

void exportAll(BenchContext &ctx)
{
    auto &state = ctx.state<ExportState>();
    // The files' flushes to disk make the wall time depend on the disk and its
    // other users; the processor time is the export's own.
    const double cpuStart = processorMs();
    // As the window and `export --all` run it by default: translated blocks only.
    const ExportResult result = exportScripts(state.db, ctx.scratch, state.rows, false, false);
    if (!result)
        return ctx.fail(result.error().message);
    ctx.record(u"scripts"_s, result->written);
    ctx.record(u"cpu_ms"_s, qRound(processorMs() - cpuStart));
}

// The window breathes through the event loop; so does the benchmark.
class EventLoopProgress : public ImportProgress
{
public:
    void breathe() override { QCoreApplication::processEvents(); }
};

void setupImport(BenchContext &ctx)
{
    const QString store = storeCopy(ctx);
    if (store.isEmpty())
        return;
    auto &db = ctx.emplace<Database>();
    if (const Result<Done> opened = openStore(db, store); !opened)
        ctx.fail(opened.error().message);
}

// The corpus's own files stand in for translations: every block of the
// store gets its text written once.
void importTranslated(BenchContext &ctx)
{
    EventLoopProgress progress;
    ProgressPacer pacer(&progress);
    const TranslatedImport::Report report = TranslatedImport::run(ctx.state<Database>(), ctx.corpus, pacer);
    if (!report.validFolder || !report.failures.isEmpty())
        return ctx.fail(report.validFolder ? report.failures.first() : u"not a scripts folder"_s);
    ctx.record(u"blocks"_s, report.blocks);
    ctx.record(u"breaths"_s, pacer.breaths());
}

} // namespace

TALLOWPEN_BENCH("save a block (automatic save tick)", setupSave, save);
TALLOWPEN_BENCH("export every script", setupExport, exportAll);
TALLOWPEN_BENCH("import translated scripts", setupImport, importTranslated);
