// What keeps work from being lost, on the store of the whole corpus: the
// editor's start-up check and a copy into backups/.
#include "bench/bench.h"
#include "bench/importedstore.h"
#include "store/backup.h"
#include "store/storecheck.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

void findStore(BenchContext &ctx)
{
    ctx.emplace<QString>(importedStore(ctx));
}

void checkStore(BenchContext &ctx)
{
    const double start = processorMs();
    const StoreCheck check = checkStoreFile(ctx.state<QString>());
    ctx.record(u"cpu_ms"_s, qRound(processorMs() - start));
    if (!check.ok)
        ctx.fail(check.problem);
}

void backUpStore(BenchContext &ctx)
{
    const Backups::Outcome outcome = Backups::makeBackup(QFileInfo(ctx.state<QString>()).absolutePath(), u"bench"_s);
    if (!outcome.ok)
        ctx.fail(outcome.message);
}

} // namespace

TALLOWPEN_BENCH("start-up check of the store", findStore, checkStore);
TALLOWPEN_BENCH("backup of the store", findStore, backUpStore);
