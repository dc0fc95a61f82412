// Fitting: one 2,000-character block that overflows its window, and every
// translated block of the corpus as `fit --all --dry-run` does it.
#include "bench/bench.h"
#include "bench/importedstore.h"

#include "check/fit.h"
#include "check/projectfit.h"
#include "store/layout.h"
#include "store/sqlitehandle.h"
#include "store/storetext.h"

#include <sqlite3.h>
#include "check/projectcheck.h"
#include "project/sqlitestore.h"

#include <QDir>
#include <QElapsedTimer>

using namespace Qt::StringLiterals;

namespace {

// A speaker, then sentences on one line, as a translator pastes them.
QString longBlock()
{
    static const QStringList words = {u"el"_s, u"camino"_s, u"del"_s, u"norte"_s, u"está"_s, u"cerrado"_s,
                                      u"hasta"_s, u"mañana."_s, u"¿Vienes"_s, u"conmigo?"_s, u"<Delay 20>"_s,
                                      u"La"_s, u"posada"_s, u"espera,"_s, u"amigo!"_s};
    QString text = u"<Ovessin>\r\n"_s;
    for (int i = 0; text.size() < 2000; ++i)
        text += words[i % words.size()] + u' ';
    return text + u"\r\n<Wait><Close><End of Block>"_s;
}

void fitBlock(BenchContext &ctx)
{
    static const QString text = longBlock();
    const FitResult fit = fitToWindow(text, u"56"_s, u"3"_s);
    if (!fit.changed || !fit.overflow.isEmpty())
        return ctx.fail(u"the block was not fitted"_s);
    ctx.record(u"characters"_s, qsizetype(text.size()));
}

void setupAll(BenchContext &ctx)
{
    const QString store = importedStore(ctx);
    auto &db = ctx.emplace<Database>();
    if (store.isEmpty())
        return;
    if (const Result<Done> opened = openStore(db, store); !opened)
        ctx.fail(opened.error().message);
}

void fitAll(BenchContext &ctx)
{
    QElapsedTimer timer;
    timer.start();
    SqliteStore store(ctx.state<Database>());
    const Result<std::vector<CheckedBlock>> read = readCheckedBlocks(store);
    if (!read)
        return ctx.fail(read.error().message);
    const std::vector<CheckedBlock> &blocks = *read;
    ctx.record(u"read ms"_s, qsizetype(timer.elapsed()));
    timer.restart();
    qsizetype changed = 0, translated = 0;
    for (const CheckedBlock &block : blocks) {
        if (block.translation.isEmpty())
            continue;
        ++translated;
        changed += fitToWindow(block.translation, block.width, block.height).changed ? 1 : 0;
    }
    ctx.record(u"fit ms"_s, qsizetype(timer.elapsed()));
    ctx.record(u"translated blocks"_s, translated);
    ctx.record(u"changed"_s, changed);
}

// A copy of the imported store in the run's scratch folder: every run
// starts from the same overflowing translations, with no history yet.
void setupSaving(BenchContext &ctx)
{
    const QString store = importedStore(ctx);
    if (store.isEmpty())
        return;
    // Copied by SQLite itself: no other door opens the store's files.
    const QString copy = QDir(ctx.scratch).filePath(StoreFileName);
    {
        const Result<SqliteHandle> original = openSqlite(store, SQLITE_OPEN_READONLY);
        if (!original)
            return ctx.fail(original.error().message);
        if (execSqlite(original->get(), u"VACUUM INTO "_s + storeLiteral(copy)) != SQLITE_OK)
            return ctx.fail(sqliteMessage(original->get()));
    }
    auto &db = ctx.emplace<Database>();
    if (const Result<Done> opened = openStore(db, copy); !opened)
        ctx.fail(opened.error().message);
}

// What `fit --all` does when it writes: read, fit, and save every changed
// block, a transaction per script with its history rows.
void fitAllAndSave(BenchContext &ctx)
{
    Database &db = ctx.state<Database>();
    SqliteStore store(db);
    const Result<std::vector<CheckedBlock>> read = readCheckedBlocks(store);
    if (!read)
        return ctx.fail(read.error().message);
    const std::vector<CheckedBlock> &blocks = *read;
    const ProjectFit fits = fitProject(blocks);
    QElapsedTimer timer;
    timer.start();
    const FitSaving saving = saveFits(db, fits.changed);
    ctx.record(u"save ms"_s, qsizetype(timer.elapsed()));
    ctx.record(u"saved"_s, qsizetype(saving.saved.size()));
    if (!saving.problems.isEmpty())
        ctx.fail(saving.problems.first());
}

} // namespace

TALLOWPEN_BENCH("fit --all: every translated block fitted and saved", setupSaving, fitAllAndSave);
TALLOWPEN_BENCH("fit a 2,000-character block", nullptr, fitBlock);
TALLOWPEN_BENCH("fit --all --dry-run: every translated block", setupAll, fitAll);
