// buildTree into the real tree view (offscreen), painted once, and the
// translation status over the whole corpus.
#include "bench/bench.h"
#include "bench/importedstore.h"
#include "store/database.h"
#include "store/translationstatus.h"
#include "store/widgets/scripttree.h"

#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

struct TreeState
{
    Database db;
    QTreeView view;
};

void setupTree(BenchContext &ctx)
{
    const QString store = importedStore(ctx);
    if (store.isEmpty())
        return;
    auto &state = ctx.emplace<TreeState>();
    if (const Result<Done> opened = openStore(state.db, store); !opened)
        return ctx.fail(opened.error().message);
    ScriptTree::installScriptTree(state.view);
    state.view.resize(300, 700);
    state.view.show();
}

void buildTree(BenchContext &ctx)
{
    auto &state = ctx.state<TreeState>();
    const ScriptTreeModel::BuildReport report = ScriptTree::buildTree(state.view, state.db);
    state.view.viewport()->repaint();
    if (report.failure)
        return ctx.fail(report.failure->message);
    ctx.record(u"refused"_s, report.refusedKeys.size());
}

void setupStatus(BenchContext &ctx)
{
    const QString store = importedStore(ctx);
    if (store.isEmpty())
        return;
    auto &db = ctx.emplace<Database>();
    if (const Result<Done> opened = openStore(db, store); !opened)
        ctx.fail(opened.error().message);
}

void status(BenchContext &ctx)
{
    const Result<TranslationCount> count = translationPercent(ctx.state<Database>());
    if (!count)
        return ctx.fail(count.error().message);
    if (!count->hasBlocks())
        return ctx.fail(u"no blocks"_s);
    ctx.record(u"blocks"_s, count->blocks);
    ctx.record(u"status"_s, statusLine(count->percent()));
}

} // namespace

TALLOWPEN_BENCH("buildTree into the view", setupTree, buildTree);
TALLOWPEN_BENCH("translationPercent", setupStatus, status);
