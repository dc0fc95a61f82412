#include "exchange/translationimport.h"

#include "keeping/backup.h"
#include "keeping/batch.h"
#include "store/database.h"

#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

int TranslationImport::count(Kind kind) const
{
    return int(std::count_if(lines.begin(), lines.end(), [kind](const Line &line) { return line.kind == kind; }));
}

TranslationImport importTranslations(Database &db, const std::vector<ExchangeUnit> &units, const QString &reason,
                                     bool dryRun, const std::function<void(int, int)> &progress)
{
    using Kind = TranslationImport::Kind;
    TranslationImport result;
    struct Planned
    {
        QString key;
        BlockLoad load;
        BlockEdits edits;
    };
    std::vector<Planned> planned;
    for (const ExchangeUnit &unit : units) {
        const QString key = blockKey(unit.address.table, unit.address.fileName, unit.address.number);
        BlockLoad load = loadBlock(db, key);
        if (load.outcome == BlockLoad::Outcome::Failed || load.outcome == BlockLoad::Outcome::Duplicate) {
            result.failure = Failure{load.message, {}, 0};
            return result;
        }
        if (!load.stored) {
            result.lines.push_back({Kind::NoBlock, unit.address, u"the store has no such block"_s});
            continue;
        }
        if (!unit.hasTarget || unit.target == load.translation) {
            ++result.unchanged;
            continue;
        }
        if (unit.source != load.original) {
            result.lines.push_back(
                {Kind::SourceChanged, unit.address, u"the original has changed since the file was made"_s});
            continue;
        }
        result.lines.push_back({dryRun ? Kind::WouldSave : Kind::Saved, unit.address, unit.target});
        planned.push_back({key, std::move(load), {unit.target, {}, unit.revised}});
    }
    if (dryRun || planned.empty())
        return result;

    // Recorded as the store's last batch, so that Edit, Undo Last Batch
    // takes the whole import back.
    Result<BatchRecord> record = beginBatch(db, reason);
    if (!record) {
        result.failure = record.error();
        return result;
    }
    result.backup = record->backup;
    const auto failed = [&](const QString &why) {
        db.abandon();
        result.failure = Failure{u"The import stopped and no block was changed: "_s + why, {}, 0};
        result.saved.clear();
        for (auto &line : result.lines) {
            if (line.kind == Kind::Saved)
                line.kind = Kind::Failed;
        }
        return result;
    };
    if (const Result<Done> begun = db.begin(); !begun)
        return failed(begun.error().message);
    for (Planned &plan : planned) {
        plan.edits.comment = plan.load.comment;
        const BlockAddress &at = *plan.load.address;
        const QString nodeText = QString::number(at.number) + (plan.load.comment.isEmpty() ? u""_s : u"[c]"_s);
        Result<BlockSave> save = saveBlock(db, plan.key, nodeText, plan.edits, &*plan.load.stored);
        if (!save)
            return failed(save.error().message);
        record->changed(at);
        result.saved.emplace_back(plan.key, std::move(*save));
        if (progress)
            progress(int(result.saved.size()), int(planned.size()));
    }
    if (const Result<Done> committed = db.commit(); !committed)
        return failed(committed.error().message);
    if (const QString why = recordBatch(db.path(), *record); !why.isEmpty())
        result.message = u"The translations were imported, but cannot be undone as one step: %1"_s.arg(why);
    return result;
}
