// What keeps work from being lost, on the store of the whole corpus: the
// editor's start-up check and a copy into backups/, the start-up with both,
// a save with its history row and a draft.
#include "app/keepcontroller.h"
#include "app/mainwindow.h"
#include "ui/messages.h"
#include "bench/bench.h"
#include "bench/importedstore.h"
#include "keeping/backup.h"
#include "keeping/blocksave.h"
#include "keeping/history.h"
#include "store/layout.h"
#include "keeping/storecheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
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
    const Result<Done> check = checkStoreFile(ctx.state<QString>());
    ctx.record(u"cpu_ms"_s, qRound(processorMs() - start));
    if (!check)
        ctx.fail(check.error().message);
}

void backUpStore(BenchContext &ctx)
{
    const Backups::Outcome outcome = Backups::makeBackup(QFileInfo(ctx.state<QString>()).absolutePath(), u"bench"_s);
    if (!outcome)
        ctx.fail(outcome.error().message);
}

} // namespace

TALLOWPEN_BENCH("start-up check of the store", findStore, checkStore);
TALLOWPEN_BENCH("backup of the store", findStore, backUpStore);

// The editor from its construction to idle on a copy of the corpus's store:
// the interrupted-restore look, the store's check and the daily backup's
// start included (the copy itself runs on its thread; its time is its own
// figure, after idle).
namespace {

QString copyOfStore(BenchContext &ctx)
{
    const QString shared = importedStore(ctx);
    if (shared.isEmpty())
        return {};
    const QString copy = QDir(ctx.scratch).filePath(StoreFileName);
    const bool journal = QFile::exists(shared + u"-wal"_s);
    if (!QFile::copy(shared, copy) || (journal && !QFile::copy(shared + u"-wal"_s, copy + u"-wal"_s)))
        ctx.fail(u"cannot copy the store to "_s + copy);
    return copy;
}

void copyStore(BenchContext &ctx)
{
    copyOfStore(ctx);
    Messages::setHandler([](QWidget *, const Messages::Message &) { return Messages::Answer::Ok; });
}

// The same start on a day whose copy is made already: the check alone on its thread.
void copyStoreAndBackUp(BenchContext &ctx)
{
    copyStore(ctx);
    if (!ctx.failed() && !Backups::makeBackup(ctx.scratch, Backups::Reason::Daily).ok())
        ctx.fail(u"the day's copy could not be made"_s);
}

void startEditor(BenchContext &ctx)
{
    QElapsedTimer clock;
    clock.start();
    const double processor = processorMs();
    auto &window = ctx.emplace<MainWindow>(ctx.scratch);
    if (!window.load())
        return ctx.fail(u"the main window did not load"_s);
    window.show();
    QCoreApplication::processEvents();
    ctx.record(u"idle ms"_s, clock.elapsed());
    ctx.record(u"cpu_ms"_s, qRound(processorMs() - processor));
    window.findChild<KeepController *>()->waitForBackup();
    ctx.record(u"daily backup done ms"_s, clock.elapsed());
    if (Backups::listBackups(ctx.scratch).size() != 1)
        ctx.fail(u"not one daily backup"_s);
}

struct SaveLoop
{
    Database db;
    QString key;
    BlockSnapshot stored;
};

void openCopy(BenchContext &ctx)
{
    const QString copy = copyOfStore(ctx);
    if (copy.isEmpty())
        return;
    auto &loop = ctx.emplace<SaveLoop>();
    if (const Result<Done> opened = openStore(loop.db, copy); !opened)
        return ctx.fail(opened.error().message);
    Result<ResultSet> rows = loop.db.query(u"SELECT * FROM field"_s);
    if (!rows->next())
        return ctx.fail(u"the corpus has no field block"_s);
    loop.key = blockKey(ScriptTables::field, rows->text(ColFileName), rows->text(ColDialogueId));
}

constexpr int Rounds = 200;

// Every save changes the text, so each keeps the one before in history.db.
void saveWithHistory(BenchContext &ctx)
{
    auto &loop = ctx.state<SaveLoop>();
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < Rounds; ++i) {
        const Result<BlockSave> save =
            saveBlock(loop.db, loop.key, u"1"_s, {u"Texto %1.<End of Block>"_s.arg(i), {}, false}, nullptr);
        if (!save)
            return ctx.fail(save.error().message);
        if (!save->historyProblem.isEmpty())
            return ctx.fail(save->historyProblem);
    }
    ctx.record(u"ms per save"_s, QString::number(double(clock.nsecsElapsed()) / 1e6 / Rounds, 'f', 3));
}

void writeDrafts(BenchContext &ctx)
{
    auto &loop = ctx.state<SaveLoop>();
    const BlockAddress address = *parseBlockKey(loop.key);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < Rounds; ++i) {
        const Result<HistoryWrite> kept = writeDraft(
            loop.db.path(), address, {QDateTime::currentDateTime(), u"Borrador %1.<End of Block>"_s.arg(i), {}, false});
        if (!kept)
            return ctx.fail(kept.error().message);
        if (!kept->notice.isEmpty())
            return ctx.fail(kept->notice);
    }
    ctx.record(u"ms per draft"_s, QString::number(double(clock.nsecsElapsed()) / 1e6 / Rounds, 'f', 3));
}

} // namespace

TALLOWPEN_BENCH("editor start-up to idle with check and daily backup", copyStore, startEditor);
TALLOWPEN_BENCH("editor start-up to idle with check, the day's copy made", copyStoreAndBackUp, startEditor);
TALLOWPEN_BENCH("save with its history row (x200)", openCopy, saveWithHistory);
TALLOWPEN_BENCH("draft write (x200)", openCopy, writeDrafts);
