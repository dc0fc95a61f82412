#include "check/projectfit.h"

#include "keeping/batch.h"
#include "keeping/history.h"

using namespace Qt::StringLiterals;

ProjectFit fitProject(const std::vector<CheckedBlock> &blocks, const std::function<bool(const CheckedBlock &)> &inScope)
{
    ProjectFit result;
    for (const CheckedBlock &block : blocks) {
        if (block.translation.isEmpty() || (inScope && !inScope(block)))
            continue;
        FitResult fit = fitToWindow(block.translation, block.width, block.height);
        // An untouched text's overflow is the one it came with.
        const bool overflowed = fit.changed || !fit.overflow.isEmpty();
        result.overflowing += overflowed ? 1 : 0;
        result.stillOverflowing += fit.overflow.isEmpty() ? 0 : 1;
        if (fit.changed)
            result.changed.push_back({&block, std::move(fit)});
    }
    return result;
}

Result<BlockSave> saveTranslation(Database &db, const BlockLoad &load, const QString &translation, StatusCount status,
                                  KnownRow knownRow)
{
    const BlockAddress &at = *load.address;
    const QString key = blockKey(at.table, at.fileName, at.number);
    const QString nodeText = QString::number(at.number) + (load.comment.isEmpty() ? QString() : u"[c]"_s);
    Result<BlockSave> save =
        saveBlock(db, key, nodeText, {translation, load.comment, load.revised}, load.stored ? &*load.stored : nullptr,
                  status, knownRow);
    if (!save) {
        Failure failure = save.error();
        failure.message = u"%1: %2"_s.arg(load.caption, failure.message);
        return failure;
    }
    return save;
}

FitSaving saveFits(Database &db, const std::vector<BlockFit> &fits, const std::function<bool(int)> &progress,
                   BatchRecord *batch)
{
    FitSaving saving;
    // Without the history's transaction the saves are only slower.
    const Result<Database *> opened = historyStore(db.path(), true);
    Database *history = opened ? *opened : nullptr;
    int done = 0;
    size_t from = 0;
    bool stopped = false;
    while (from < fits.size() && !stopped) {
        const CheckedBlock &first = *fits[from].block;
        size_t to = from;
        while (to < fits.size() && fits[to].block->table == first.table && fits[to].block->fileName == first.fileName)
            ++to;
        const bool inHistory = history && history->begin();
        if (const Result<Done> begun = db.begin(); !begun) {
            if (inHistory)
                history->abandon();
            saving.problems << u"%1: %2"_s.arg(first.fileName, begun.error().message);
            from = to;
            continue;
        }
        std::vector<std::pair<QString, BlockSave>> script;
        QString failure;
        size_t each = from;
        for (; each < to && failure.isEmpty(); ++each) {
            if (progress && !progress(done)) {
                stopped = true;
                break;
            }
            ++done;
            const QString key = fits[each].block->key();
            const BlockLoad load = loadBlock(db, key);
            if (load.outcome != BlockLoad::Outcome::Loaded) {
                failure = u"%1: %2"_s.arg(key, load.message);
                break;
            }
            // Read in this script's transaction: the row the save replaces, handed on.
            Result<BlockSave> save = saveTranslation(db, load, fits[each].fit.text, StatusCount::Skip, KnownRow::Current);
            if (!save)
                failure = save.error().message;
            else
                script.emplace_back(key, std::move(*save));
        }
        if (failure.isEmpty()) {
            if (const Result<Done> committed = db.commit(); !committed)
                failure = u"%1: %2"_s.arg(first.fileName, committed.error().message);
        }
        if (failure.isEmpty()) {
            // The store's commit stands; a history that missed it keeps fewer versions.
            if (inHistory && !history->commit())
                history->abandon();
            for (auto &saved : script) {
                if (batch && saved.second.written)
                    batch->changed(*parseBlockKey(saved.first));
                saving.saved.push_back(std::move(saved));
            }
        } else {
            db.abandon();
            if (inHistory)
                history->abandon();
            saving.problems << failure + u" None of the script's blocks was saved."_s;
        }
        from = to;
    }
    if (!saving.saved.empty())
        saving.saved.back().second.status = currentStatusLine(db);
    return saving;
}
