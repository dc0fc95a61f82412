#include "check/projectfit.h"

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

BlockSave saveTranslation(Database &db, const BlockLoad &load, const QString &translation)
{
    const BlockAddress &at = *load.address;
    const QString key = blockKey(at.table, at.fileName, at.number);
    const QString nodeText = QString::number(at.number) + (load.comment.isEmpty() ? QString() : u"[c]"_s);
    BlockSave save =
        saveBlock(db, key, nodeText, {translation, load.comment, load.revised}, load.stored ? &*load.stored : nullptr);
    if (!save.ok)
        save.message = u"%1: %2"_s.arg(load.caption, save.message);
    return save;
}

FitSaving saveFits(Database &db, const std::vector<BlockFit> &fits, const std::function<bool(int)> &progress)
{
    FitSaving saving;
    int done = 0;
    for (const BlockFit &each : fits) {
        if (progress && !progress(done++))
            break;
        const QString key = each.block->key();
        const BlockLoad load = loadBlock(db, key);
        if (load.outcome != BlockLoad::Outcome::Loaded) {
            saving.problems << u"%1: %2"_s.arg(key, load.message);
            continue;
        }
        BlockSave save = saveTranslation(db, load, each.fit.text);
        if (save.ok)
            saving.saved.emplace_back(key, std::move(save));
        else
            saving.problems << save.message;
    }
    return saving;
}
