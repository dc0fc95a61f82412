#include "memory/repeats.h"

#include "store/storetext.h"
#include "store/database.h"
#include "store/layout.h"
#include "store/scriptrows.h"

#include <algorithm>

using namespace Qt::StringLiterals;

int Repeats::changing() const
{
    return int(std::count_if(blocks.begin(), blocks.end(), [](const Repeat &r) { return r.changes; }));
}

Result<Repeats> exactRepeats(Database &db, const BlockAddress &block, const QString &storedOriginal,
                     const QString &translation)
{
    Repeats repeats;
    const QString wanted = toStoreText(translation);
    for (const QString &table : ScriptTables::all) {
        Result<ResultSet> rows = rowsWithOriginal(db, table, storedOriginal);
        if (!rows.ok()) {
            Failure failure = rows.error();
            failure.message = u"The blocks with the same original could not be read: "_s + failure.message;
            return failure;
        }
        while (rows->next()) {
            const qlonglong number = rows->value(ColDialogueId).toLongLong();
            const BlockAddress at{table, rows->text(ColFileName), qint16(number)};
            if (number < -32768 || number > 32767 || at == block)
                continue;
            const bool translated = rows->value(ColTranslated).toLongLong() == 1;
            const QString stored = rows->text(ColTextDataT);
            // An empty translation is nothing to apply: it would only wipe theirs.
            const bool changes = !wanted.isEmpty() && (!translated || stored != wanted);
            repeats.blocks.push_back({at, translated ? fromStoreText(stored) : QString(), changes});
        }
    }
    return repeats;
}

Result<RepeatsApplied> applyToRepeats(Database &db, const Repeats &repeats, const QString &translation)
{
    RepeatsApplied applied;
    const auto failed = [&](const QString &why) -> Result<RepeatsApplied> {
        db.abandon();
        return Failure{u"The translation was not applied to the repeats; none of them changed. "_s + why, {}, 0};
    };
    if (const Result<Done> begun = db.begin(); !begun)
        return failed(begun.error().message);
    for (const Repeat &repeat : repeats.blocks) {
        if (!repeat.changes)
            continue;
        const QString key = blockKey(repeat.address.table, repeat.address.fileName, repeat.address.number);
        const BlockLoad load = loadBlock(db, key);
        if (load.outcome != BlockLoad::Outcome::Loaded || !load.stored)
            return failed(load.message.isEmpty() ? u"Block %1 of %2 is gone."_s.arg(repeat.address.number).arg(
                                                       repeat.address.fileName)
                                                 : load.message);
        const QString nodeText = QString::number(repeat.address.number) + (load.comment.isEmpty() ? u""_s : u"[c]"_s);
        Result<BlockSave> save = saveBlock(db, key, nodeText, {translation, load.comment, load.revised}, &*load.stored);
        if (!save)
            return failed(save.error().message);
        applied.saved.emplace_back(key, std::move(*save));
    }
    if (const Result<Done> committed = db.commit(); !committed)
        return failed(committed.error().message);
    return applied;
}
