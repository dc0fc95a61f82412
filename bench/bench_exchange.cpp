// The exchange formats over the whole corpus (about 60 % translated), and
// Apertium's draft of one block with the engine already running, as the
// memory panel asks for it (budget: 300 ms a block).
#include "bench/bench.h"
#include "bench/importedstore.h"
#include "exchange/machinedraft.h"
#include "exchange/po.h"
#include "exchange/translationimport.h"
#include "exchange/xliff.h"
#include "store/database.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

struct Exchange
{
    Database db;
    std::vector<ExchangeUnit> units;
};

void setupStore(BenchContext &ctx)
{
    const QString shared = importedStore(ctx);
    if (shared.isEmpty())
        return;
    // A copy of its own: the import's backup goes beside it.
    const QString path = ctx.scratch + u"/tallowpen.db"_s;
    if (!QFile::copy(shared, path))
        return ctx.fail(u"the store could not be copied"_s);
    Exchange &state = ctx.emplace<Exchange>();
    if (const Result<Done> opened = openStore(state.db, path); !opened)
        return ctx.fail(opened.error().message);
    state.units = readXliff(writeXliff(readExchangeBlocks(state.db, {}).value_or({}).blocks)).value_or({}).units;
}

void exportXliff(BenchContext &ctx)
{
    const Result<ExchangeBlocks> blocks = readExchangeBlocks(ctx.state<Exchange>().db, {});
    if (!blocks)
        return ctx.fail(blocks.error().message);
    ctx.record(u"bytes"_s, writeXliff(blocks->blocks).size());
}

void exportPo(BenchContext &ctx)
{
    const Result<ExchangeBlocks> blocks = readExchangeBlocks(ctx.state<Exchange>().db, {});
    if (!blocks)
        return ctx.fail(blocks.error().message);
    ctx.record(u"files"_s, qint64(writePoFiles(blocks->blocks).size()));
}

// Reading the file and matching every unit to its block; none changed.
void importUntouched(BenchContext &ctx)
{
    Exchange &state = ctx.state<Exchange>();
    const TranslationImport import = importTranslations(state.db, state.units, ImportXliffReason, false);
    if (import.failure || !import.saved.empty())
        return ctx.fail(u"the untouched file changed the store"_s);
    ctx.record(u"units"_s, qint64(state.units.size()));
}

void setupEngine(BenchContext &ctx)
{
    if (const auto missing = machineDraftsMissing())
        return ctx.fail(*missing);
    ApertiumEngine &engine = ctx.emplace<ApertiumEngine>();
    // The pipeline starts once per window; this case measures the blocks after.
    if (!engine.translate(u"Hello."_s, {}))
        ctx.fail(u"Apertium gave no draft"_s);
}

void draftOneBlock(BenchContext &ctx)
{
    const Result<MachineDraft> draft = ctx.state<ApertiumEngine>().translate(
        u"<Pellan>\r\nWell met, traveller. The road north is closed since the storm,<Wait><New Page>"
        "but Gorvan's ferry still crosses at dawn if you can pay him.<End of Block>"_s,
        {u"Pellan"_s, u"Gorvan"_s});
    if (!draft)
        ctx.fail(draft.error().message);
}

} // namespace

TALLOWPEN_BENCH("exchange: export XLIFF of the whole corpus", setupStore, exportXliff);
TALLOWPEN_BENCH("exchange: export PO of the whole corpus", setupStore, exportPo);
TALLOWPEN_BENCH("exchange: import the untouched XLIFF", setupStore, importUntouched);
TALLOWPEN_BENCH("exchange: machine draft of one block", setupEngine, draftOneBlock);
