// The store on a PostgreSQL server over its Unix socket, case by case beside
// the SQLite cases of the same run: the import with COPY, one block loaded
// and saved, the tree into the view, a common word searched, the counts.
// The server is named by $TALLOWPEN_BENCH_SERVER as key=value words
// ("host=/tmp/pg user=postgres dbname=postgres"); every case fails, saying
// so, without it.
#include "app/mainwindow.h"
#include "bench/bench.h"
#include "bench/importedstore.h"
#include "scripts/originalimport.h"
#include "scripts/scriptexport.h"
#include "scripts/scriptformat.h"
#include "server/schema.h"
#include "project/transfer.h"
#include "store/database.h"
#include "store/layout.h"
#include "store/storetext.h"
#include "store/widgets/scripttree.h"
#include "ui/messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QFileInfo>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

QString serverAddress()
{
    return qEnvironmentVariable("TALLOWPEN_BENCH_SERVER");
}

// A database of the run's own, dropped when the runner ends.
class BenchDatabase
{
public:
    explicit BenchDatabase(const QString &name)
        : m_name(name)
    {
    }
    ~BenchDatabase() { admin(u"DROP DATABASE IF EXISTS "_s + m_name + u" WITH (FORCE)"_s); }
    static QString admin(const QString &statement)
    {
        Result<ServerConnection> server = ServerConnection::open(serverAddress());
        if (!server)
            return server.error().message;
        const QByteArray sql = statement.toUtf8();
        Result<Done> done = server->runScript(sql.constData());
        return done ? QString() : done.error().message;
    }
    QString make()
    {
        admin(u"DROP DATABASE IF EXISTS "_s + m_name + u" WITH (FORCE)"_s);
        return admin(u"CREATE DATABASE "_s + m_name);
    }
    QString address() const { return serverAddress() + u" dbname="_s + m_name; }

private:
    QString m_name;
};

std::optional<ServerStore> connect(BenchContext &ctx, const BenchDatabase &db)
{
    Result<ServerConnection> connection = ServerConnection::open(db.address());
    if (!connection) {
        ctx.fail(connection.error().message);
        return std::nullopt;
    }
    return ServerStore(std::move(*connection));
}

bool haveServer(BenchContext &ctx)
{
    if (serverAddress().isEmpty())
        ctx.fail(u"no server: set TALLOWPEN_BENCH_SERVER (key=value words of a PostgreSQL 15 server)"_s);
    return !ctx.failed();
}

QString sharedName()
{
    return u"tallowpen_bench_%1"_s.arg(QCoreApplication::applicationPid());
}

// The whole corpus uploaded once per run of the runner from the shared
// SQLite store, for the cases that read or save.
std::optional<ServerStore> sharedServerStore(BenchContext &ctx)
{
    static BenchDatabase shared(sharedName());
    static bool made = false;
    if (!haveServer(ctx))
        return std::nullopt;
    if (!made) {
        const QString store = importedStore(ctx);
        if (store.isEmpty())
            return std::nullopt;
        if (const QString why = shared.make(); !why.isEmpty()) {
            ctx.fail(why);
            return std::nullopt;
        }
        Database local;
        if (const Result<Done> opened = openStore(local, store); !opened) {
            ctx.fail(opened.error().message);
            return std::nullopt;
        }
        auto server = connect(ctx, shared);
        if (!server)
            return std::nullopt;
        Result<ServerTransfer::Uploaded> uploaded = ServerTransfer::setUp(*server, &local);
        if (!uploaded) {
            ctx.fail(uploaded.error().message);
            return std::nullopt;
        }
        made = true;
    }
    return connect(ctx, shared);
}

struct ImportState
{
    std::unique_ptr<BenchDatabase> db;
    std::optional<ServerStore> store;
};

void setupImport(BenchContext &ctx)
{
    if (!haveServer(ctx))
        return;
    auto &state = ctx.emplace<ImportState>();
    state.db = std::make_unique<BenchDatabase>(u"tallowpen_bench_import_%1"_s.arg(QCoreApplication::applicationPid()));
    if (const QString why = state.db->make(); !why.isEmpty())
        return ctx.fail(why);
    state.store = connect(ctx, *state.db);
    if (!state.store)
        return;
    Result<Done> layout = state.store->connection().transaction<Done>(
        [&] { return ServerSchema::create(state.store->connection()); });
    if (!layout)
        ctx.fail(layout.error().message);
}

// The originals read as the import reads them, then one COPY per table in
// one transaction.
void importOriginals(BenchContext &ctx)
{
    ServerStore &store = *ctx.state<ImportState>().store;
    qint64 blocks = 0;
    Result<Done> done = store.connection().transaction<Done>([&]() -> Result<Done> {
        for (const CorpusFolder &folder : corpusFiles(ctx.corpus)) {
            std::vector<BlockRow> rows;
            for (const QString &file : folder.paths) {
                const QString name = QFileInfo(file).fileName();
                ReaderSizes sizes;
                ReadFailure failure;
                const bool read = readScriptFile(file, sizes, [&](const ScriptBlock &block) {
                    rows.push_back({name, qlonglong(block.number), toStoreText(block.text), qlonglong(block.width),
                                    qlonglong(block.height), QString(), 0LL, 0LL, QString(), 0LL, 0LL});
                    return true;
                }, &failure);
                if (!read)
                    return Failure{failure.message, {}};
            }
            Result<qint64> copied = store.importBlocks(folder.table, rows);
            if (!copied)
                return copied.error();
            blocks += *copied;
        }
        return Done{};
    });
    if (!done)
        return ctx.fail(done.error().message);
    ctx.record(u"blocks"_s, blocks);
}

// As `import-original` runs on a server store: a copy of the (empty)
// server's store, the import on it, every row written back with COPY in one
// transaction, the copy gone.
void importOriginalsCommand(BenchContext &ctx)
{
    ServerStore &store = *ctx.state<ImportState>().store;
    const double cpuStart = processorMs();
    QDir folder(QDir(ctx.scratch).filePath(u".server-bench"_s));
    folder.removeRecursively();
    folder.mkpath(u"."_s);
    const QString copy = folder.filePath(StoreFileName);
    Result<ServerTransfer::StoredSnapshot> snapshot = ServerTransfer::writeWorkingCopy(store, copy);
    if (!snapshot)
        return ctx.fail(snapshot.error().message);
    qint64 blocks = 0;
    {
        Database db;
        if (const Result<Done> opened = openStore(db, copy); !opened)
            return ctx.fail(opened.error().message);
        ProgressPacer pacer(nullptr);
        const OriginalImport::Result result = OriginalImport::Importer(db, ctx.corpus, pacer).run();
        if (!result)
            return ctx.fail(result.error().message);
        blocks = result->blocks;
    }
    Result<StoreChange> change = ServerTransfer::changesSince(*snapshot, copy);
    Result<qint64> written = change ? store.writeChange(*change) : Result<qint64>(change.error());
    folder.removeRecursively();
    if (!written)
        return ctx.fail(written.error().message);
    ctx.record(u"blocks"_s, blocks);
    ctx.record(u"written"_s, *written);
    ctx.record(u"cpu_ms"_s, qRound(processorMs() - cpuStart));
}

struct BlockState
{
    std::optional<ServerStore> store;
    QString key;
};

void setupBlock(BenchContext &ctx)
{
    auto &state = ctx.emplace<BlockState>();
    state.store = sharedServerStore(ctx);
    if (!state.store)
        return;
    Result<TreeTables> rows = state.store->treeRows();
    if (!rows || rows->at(2).empty())
        return ctx.fail(rows ? u"the corpus has no field block"_s : rows.error().message);
    state.key = blockKey(ScriptTables::field, rows->at(2).front().file, rows->at(2).front().number);
}

void loadServerBlock(BenchContext &ctx)
{
    auto &state = ctx.state<BlockState>();
    Result<ServerBlockLoad> block = state.store->loadBlock(state.key);
    if (!block || !block->load.stored)
        ctx.fail(block ? u"no such block"_s : block.error().message);
}

// A changed text every time, so the row, its history and the change
// sequence are written, then the status line counted, as the save tick does.
void saveServerBlock(BenchContext &ctx)
{
    auto &state = ctx.state<BlockState>();
    static int round = 0;
    Result<BlockSave> saved = state.store->saveBlock(
        state.key, u"1"_s, {u"Saved %1 times."_s.arg(++round), QString(), false}, nullptr);
    if (!saved || !saved->written || !saved->status)
        return ctx.fail(saved ? u"nothing written"_s : saved.error().message);
    ctx.record(u"status"_s, *saved->status);
}

struct TreeState
{
    std::optional<ServerStore> store;
    QTreeView view;
};

void setupTree(BenchContext &ctx)
{
    auto &state = ctx.emplace<TreeState>();
    state.store = sharedServerStore(ctx);
    ScriptTree::installScriptTree(state.view);
    state.view.resize(300, 700);
    state.view.show();
}

void buildTree(BenchContext &ctx)
{
    auto &state = ctx.state<TreeState>();
    Result<TreeTables> rows = state.store->treeRows();
    if (!rows)
        return ctx.fail(rows.error().message);
    const ScriptTreeModel::BuildReport report = ScriptTree::model(state.view)->build(*rows);
    ScriptTree::collapseAll(state.view);
    state.view.viewport()->repaint();
    ctx.record(u"refused"_s, report.refusedKeys.size());
}

void setupStore(BenchContext &ctx)
{
    auto &state = ctx.emplace<BlockState>();
    state.store = sharedServerStore(ctx);
}

// The word of the SQLite case "search common word", in both columns.
void searchCommonWord(BenchContext &ctx)
{
    Result<SearchOutcome> found = ctx.state<BlockState>().store->search(SearchType::OriginalAndTranslated, u"sword"_s);
    if (!found || found->hits.isEmpty())
        return ctx.fail(found ? u"nothing found"_s : found.error().message);
    ctx.record(u"hits"_s, found->hits.size());
}

void countBlocks(BenchContext &ctx)
{
    Result<TranslationCount> count = ctx.state<BlockState>().store->countBlocks();
    if (!count || !count->hasBlocks())
        return ctx.fail(count ? u"no blocks"_s : count.error().message);
    ctx.record(u"status"_s, statusLine(count->percent()));
}

// The editor keeps its connection: each case runs once on a fresh one in
// its setup, so that the server's caches of a new session are not timed.
void setupLoad(BenchContext &ctx)
{
    setupBlock(ctx);
    if (!ctx.failed())
        loadServerBlock(ctx);
}

void setupSave(BenchContext &ctx)
{
    setupBlock(ctx);
    if (!ctx.failed())
        saveServerBlock(ctx);
}

void setupSearch(BenchContext &ctx)
{
    setupStore(ctx);
    if (!ctx.failed())
        searchCommonWord(ctx);
}

void setupCounts(BenchContext &ctx)
{
    setupStore(ctx);
    if (!ctx.failed())
        countBlocks(ctx);
}

// As `export --all` runs on a server store: one consistent copy of the
// server's store in the program folder, the SQLite export on it, the copy gone.
void exportAll(BenchContext &ctx)
{
    ServerStore &store = *ctx.state<BlockState>().store;
    const double cpuStart = processorMs();
    const QString copy = QDir(ctx.scratch).filePath(u".server-bench.db"_s);
    QElapsedTimer clock;
    clock.start();
    if (Result<Done> written = ServerTransfer::writeCopy(store, copy); !written)
        return ctx.fail(written.error().message);
    ctx.record(u"copy ms"_s, clock.elapsed());
    Database db;
    if (const Result<Done> opened = openStore(db, copy); !opened)
        return ctx.fail(opened.error().message);
    const Result<std::vector<ExportListRow>> rows = fillExportList(db, 0, false);
    if (!rows)
        return ctx.fail(rows.error().message);
    const ExportResult result = exportScripts(db, ctx.scratch, *rows, false, false);
    db.close();
    ServerTransfer::removeCopy(copy);
    if (!result)
        return ctx.fail(result.error().message);
    ctx.record(u"scripts"_s, result->written);
    ctx.record(u"cpu_ms"_s, qRound(processorMs() - cpuStart));
}

void setupServerEditor(BenchContext &ctx)
{
    setupStore(ctx);
    Messages::setHandler([](QWidget *, const Messages::Message &) { return Messages::Answer::Ok; });
}

// The editor from its construction to idle on the server's store, the tree
// and the status line shown (the connection is made before the window, as
// the program makes it, and timed too).
void startServerEditor(BenchContext &ctx)
{
    QElapsedTimer clock;
    clock.start();
    const double processor = processorMs();
    Result<ServerStore> store = ServerStore::open(serverAddress() + u" dbname="_s + sharedName());
    if (!store)
        return ctx.fail(store.error().message);
    MainWindow window(ctx.scratch, nullptr, std::make_unique<ServerStore>(std::move(*store)));
    if (!window.load())
        return ctx.fail(u"the main window did not load"_s);
    window.show();
    QCoreApplication::processEvents();
    ctx.record(u"idle ms"_s, clock.elapsed());
    ctx.record(u"cpu_ms"_s, qRound(processorMs() - processor));
    const ScriptTreeModel *tree = ScriptTree::model(*window.findChild<QTreeView *>(u"Scripts"_s));
    const QString status = window.findChild<QLabel *>(u"lblMsg"_s)->text();
    if (!tree || tree->rowCount(tree->index(0, 0)) != 3 || !status.startsWith(u">Translation status"_s))
        return ctx.fail(u"no tree or status line was shown: "_s + status);
    ctx.record(u"status"_s, status);
    ctx.record(u"blocks in the tree"_s, qlonglong(tree->rowCount(tree->index(0, 0, tree->index(2, 0, tree->index(0, 0))))));
}

} // namespace

TALLOWPEN_BENCH("server: import originals with COPY", setupImport, importOriginals);
TALLOWPEN_BENCH("server: import-original as the command runs it (copy, import, write back)", setupImport,
                importOriginalsCommand);
TALLOWPEN_BENCH("server: load a block", setupLoad, loadServerBlock);
TALLOWPEN_BENCH("server: save a block (row, history, change, status)", setupSave, saveServerBlock);
TALLOWPEN_BENCH("server: tree rows into the view", setupTree, buildTree);
TALLOWPEN_BENCH("server: search common word", setupSearch, searchCommonWord);
TALLOWPEN_BENCH("server: translation status counts", setupCounts, countBlocks);
TALLOWPEN_BENCH("server: export every script (a copy of the store, then the export)", setupStore, exportAll);
TALLOWPEN_BENCH("server: editor start-up to idle with the tree", setupServerEditor, startServerEditor);
