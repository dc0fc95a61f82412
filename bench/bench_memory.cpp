// The translation memory on the whole corpus with 60 % of it translated:
// building its index, the matches for one block, keeping it current after a
// save, opening a block with matches and context, and the word figures.
#include "app/blockeditcontroller.h"
#include "app/mainwindow.h"
#include "ui/messages.h"
#include "bench/bench.h"
#include "bench/importedstore.h"
#include "memory/blockcontext.h"
#include "memory/translationmemory.h"
#include "memory/wordstats.h"
#include "project/sqlitestore.h"
#include "store/blockedit.h"
#include "store/database.h"
#include "store/layout.h"
#include "store/storetext.h"
#include "store/widgets/scripttree.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <ctime>

using namespace Qt::StringLiterals;

namespace {
// Selects the node and loads it as a click does; false when it did not open.
bool openKey(MainWindow &window, const QString &key)
{
    auto *tree = window.findChild<QTreeView *>(u"Scripts"_s);
    auto *edit = window.findChild<BlockEditController *>();
    if (!tree || !edit || !ScriptTree::selectKey(*tree, key))
        return false;
    edit->openBlock(tree->currentIndex());
    return ScriptTree::selectedKey(*tree) == key;
}
} // namespace

namespace {

// Processor time of this process: on a machine shared with other work the
// wall time says more about the neighbours than about the memory.
double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The shared store with three blocks in five translated, made once per corpus.
QString translatedStore(BenchContext &ctx)
{
    static QHash<QString, std::shared_ptr<QTemporaryDir>> stores;
    if (auto it = stores.constFind(ctx.corpus); it != stores.constEnd())
        return (*it)->filePath(StoreFileName);
    const QString shared = importedStore(ctx);
    if (shared.isEmpty())
        return {};
    auto dir = std::make_shared<QTemporaryDir>();
    const QString path = dir->filePath(StoreFileName);
    Database db;
    // A journal still beside the store holds part of it.
    if (!QFile::copy(shared, path)
        || (QFile::exists(shared + u"-wal"_s) && !QFile::copy(shared + u"-wal"_s, path + u"-wal"_s))
        || !openStore(db, path)) {
        ctx.fail(u"cannot copy the store to "_s + path);
        return {};
    }
    for (const QString &table : ScriptTables::all) {
        const QStringList statements{
            u"UPDATE "_s + table + u" SET translated = 1, text_data_t = text_data WHERE rowid % 5 < 3;"_s,
            u"UPDATE "_s + table + u" SET translated = 0, text_data_t = '' WHERE rowid % 5 >= 3;"_s};
        for (const QString &statement : statements) {
            if (const Result<QVariant> ran = db.execute(statement); !ran) {
                ctx.fail(ran.error().message);
                return {};
            }
        }
    }
    stores.insert(ctx.corpus, dir);
    return path;
}

struct MemoryState
{
    Database db;
    SqliteStore store{db};
    TranslationMemory memory;
    QString sidecar;
    std::vector<std::pair<BlockAddress, QString>> blocks; // every 97th block and its stored original
};

bool openState(BenchContext &ctx, MemoryState &state, const QString &sidecar)
{
    const QString store = translatedStore(ctx);
    if (store.isEmpty())
        return false;
    if (const Result<Done> opened = openStore(state.db, store); !opened) {
        ctx.fail(opened.error().message);
        return false;
    }
    state.sidecar = sidecar;
    for (const QString &table : ScriptTables::all) {
        Result<ResultSet> rows = state.db.query(u"Select * from "_s + table);
        for (int i = 0; rows->next(); ++i) {
            if (i % 97 == 0)
                state.blocks.push_back({{table, rows->text(ColFileName), qint16(rows->value(ColDialogueId).toInt())},
                                        rows->text(ColTextData)});
        }
    }
    return true;
}

// A sidecar built once and reused: the memory as a window finds it warm.
QString warmSidecar(BenchContext &ctx)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(u"tallowpen-memory.db"_s);
    static bool built = false;
    if (!built) {
        MemoryState state;
        if (!openState(ctx, state, path))
            return {};
        if (!state.memory.open(path) || !state.memory.sync(state.store)) {
            ctx.fail(state.memory.errorMessage());
            return {};
        }
        built = true;
    }
    return path;
}

void setupBuild(BenchContext &ctx)
{
    auto &state = ctx.emplace<MemoryState>();
    openState(ctx, state, QDir(ctx.scratch).filePath(u"tallowpen-memory.db"_s));
}

void build(BenchContext &ctx)
{
    auto &state = ctx.state<MemoryState>();
    const double start = cpuMs();
    if (!state.memory.open(state.sidecar) || !state.memory.sync(state.store))
        return ctx.fail(state.memory.errorMessage());
    ctx.record(u"cpu_ms"_s, cpuMs() - start);
    ctx.record(u"entries"_s, state.memory.entryCount());
}

void setupWarm(BenchContext &ctx)
{
    const QString sidecar = warmSidecar(ctx);
    if (sidecar.isEmpty())
        return;
    auto &state = ctx.emplace<MemoryState>();
    if (openState(ctx, state, sidecar) && (!state.memory.open(sidecar) || !state.memory.sync(state.store)))
        ctx.fail(state.memory.errorMessage());
}

// The timed body is one block; the spread over many is recorded beside it.
void matches(BenchContext &ctx)
{
    auto &state = ctx.state<MemoryState>();
    const auto &[block, original] = state.blocks[state.blocks.size() / 2];
    const double start = cpuMs();
    state.memory.matches(original, block);
    ctx.record(u"cpu_ms"_s, cpuMs() - start);
    static std::vector<double> spread;
    if (spread.empty()) {
        for (const auto &[other, text] : state.blocks) {
            const double each = cpuMs();
            state.memory.matches(text, other);
            spread.push_back(cpuMs() - each);
        }
        std::sort(spread.begin(), spread.end());
    }
    ctx.record(u"cpu_ms median of %1 blocks"_s.arg(spread.size()), spread[spread.size() / 2]);
    ctx.record(u"cpu_ms slowest"_s, spread.back());
}

void keepCurrent(BenchContext &ctx)
{
    auto &state = ctx.state<MemoryState>();
    static int round = 0;
    const auto &[block, original] = state.blocks[1];
    const double start = cpuMs();
    if (!state.memory.update(block, original, u"Saved by the benchmark, round %1."_s.arg(++round)))
        ctx.fail(state.memory.errorMessage());
    ctx.record(u"cpu_ms"_s, cpuMs() - start);
}

// What a click on a node costs with the panel shown, without the painting.
void openBlock(BenchContext &ctx)
{
    auto &state = ctx.state<MemoryState>();
    // A block with matches: one without them skips the differences, the dearest part.
    static size_t chosen = [&state] {
        for (size_t i = state.blocks.size() / 3; i < state.blocks.size(); ++i) {
            if (!state.memory.matches(state.blocks[i].second, state.blocks[i].first).empty())
                return i;
        }
        return state.blocks.size() / 3;
    }();
    const auto &[block, original] = state.blocks[chosen];
    const double start = cpuMs();
    const BlockLoad load = loadBlock(state.db, blockKey(block.table, block.fileName, block.number));
    const auto found = state.memory.matches(toStoreText(load.original), block);
    const Result<BlockContext> around = blockContext(state.db, block);
    ctx.record(u"cpu_ms"_s, cpuMs() - start);
    if (load.outcome != BlockLoad::Outcome::Loaded || !around)
        return ctx.fail(u"the block did not open"_s);
    ctx.record(u"matches"_s, qsizetype(found.size()));
    ctx.record(u"context blocks"_s, qsizetype(around->blocks.size()));
}

struct WindowState
{
    std::unique_ptr<MainWindow> window;
    BlockEditController *edit = nullptr;
    QString key;
};

// The main window on a copy of the store and of the warm memory, one block
// already opened (the memory is read then), the panel shown.
void setupWindow(BenchContext &ctx)
{
    const QString store = translatedStore(ctx);
    const QString sidecar = warmSidecar(ctx);
    if (store.isEmpty() || sidecar.isEmpty())
        return;
    const QDir scratch(ctx.scratch);
    for (const QString &suffix : {QString(), u"-wal"_s}) {
        if (QFile::exists(store + suffix) && !QFile::copy(store + suffix, scratch.filePath(StoreFileName + suffix)))
            return ctx.fail(u"cannot copy the store"_s);
        if (QFile::exists(sidecar + suffix)
            && !QFile::copy(sidecar + suffix, TranslationMemory::sidecarPath(ctx.scratch) + suffix))
            return ctx.fail(u"cannot copy the memory"_s);
    }
    Messages::setHandler([](QWidget *, const Messages::Message &) { return Messages::Answer::Ok; });
    auto &state = ctx.emplace<WindowState>();
    state.window = std::make_unique<MainWindow>(ctx.scratch);
    if (!state.window->load())
        return ctx.fail(u"the main window did not load"_s);
    state.window->findChild<QTimer *>(u"saveTime"_s)->stop();
    state.window->show();
    state.edit = state.window->findChild<BlockEditController *>();
    Database db;
    if (const Result<Done> opened = openStore(db, scratch.filePath(StoreFileName)); !opened)
        return ctx.fail(opened.error().message);
    Result<ResultSet> rows = db.query(u"Select * from field"_s);
    QStringList keys;
    for (int i = 0; rows->next() && keys.size() < 2; ++i) {
        if (i % 500 == 250)
            keys << blockKey(ScriptTables::field, rows->text(ColFileName), qint16(rows->value(ColDialogueId).toInt()));
    }
    if (keys.size() < 2 || !openKey(*state.window, keys[0]))
        return ctx.fail(u"no block to open"_s);
    state.key = keys[1];
    QCoreApplication::processEvents();
}

void openInWindow(BenchContext &ctx)
{
    auto &state = ctx.state<WindowState>();
    const double start = cpuMs();
    if (!openKey(*state.window, state.key))
        return ctx.fail(u"the block did not open"_s);
    QCoreApplication::processEvents();
    ctx.record(u"cpu_ms"_s, cpuMs() - start);
}

void setupStats(BenchContext &ctx)
{
    const QString store = translatedStore(ctx);
    if (store.isEmpty())
        return;
    auto &db = ctx.emplace<Database>();
    if (const Result<Done> opened = openStore(db, store); !opened)
        ctx.fail(opened.error().message);
}

void stats(BenchContext &ctx)
{
    const double start = cpuMs();
    SqliteStore store(ctx.state<Database>());
    const Result<ProjectFigures> figures = projectFigures(store);
    ctx.record(u"cpu_ms"_s, cpuMs() - start);
    if (!figures)
        return ctx.fail(figures.error().message);
    ctx.record(u"scripts"_s, qsizetype(figures->scripts.size()));
    ctx.record(u"words"_s, figures->total.words);
}

} // namespace

TALLOWPEN_BENCH("memory: build the index from nothing", setupBuild, build);
TALLOWPEN_BENCH("memory: matches for one block", setupWarm, matches);
TALLOWPEN_BENCH("memory: keep current after one save", setupWarm, keepCurrent);
TALLOWPEN_BENCH("memory: open a block with matches and context", setupWarm, openBlock);
TALLOWPEN_BENCH("memory: open a block in the window, panel shown", setupWindow, openInWindow);
TALLOWPEN_BENCH("stats: the whole corpus", setupStats, stats);
