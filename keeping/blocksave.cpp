#include "keeping/blocksave.h"

#include "keeping/history.h"
#include "keeping/originalhistory.h"
#include "store/logging.h"
#include "store/storetext.h"

using namespace Qt::StringLiterals;

Result<BlockSave> saveBlock(Database &db, const QString &key, const QString &nodeText, const BlockEdits &edits,
                            const BlockSnapshot *known, StatusCount status, KnownRow knownRow)
{
    BlockSave save;
    const auto address = parseBlockKey(key);
    if (!address)
        return save;
    save.isBlock = true;

    const QString translation = toStoreText(edits.translation);
    const QString comment = toStoreText(edits.comment);
    const bool translated = !translation.isEmpty();
    save.statement = blockUpdateStatement(*address, translation, comment, edits.revised);
    save.revisedEnabled = translated;
    save.nodeImage = !translated ? 4 : (edits.revised ? 7 : 5);
    save.nodeText = commentMarkerText(nodeText, comment, address->number);

    const BlockSnapshot after{key, translation, comment, translated, edits.revised};
    if (!known || *known != after) {
        const Result<std::optional<BlockVersion>> before =
            known && knownRow == KnownRow::Current
                ? std::optional(BlockVersion{{}, known->translated ? known->textDataT : QString(), known->comments,
                                             known->revised})
                : storedVersion(db, *address);
        if (const Result<QVariant> written = db.execute(save.statement); !written) {
            qCWarning(lcStore) << "save failed:" << written.error().message;
            return Failure{u"Block %1 of %2 could not be saved (%3). Your text is still in the editor; "
                           "the next save tries again."_s.arg(QString::number(address->number), address->fileName,
                                                            written.error().message),
                           written.error().sqlState, written.error().code};
        }
        save.written = true;
        // The save stands; what it replaced could not be read, so it is not kept.
        if (before) {
            const Result<HistoryWrite> kept = keepEarlierVersion(db.path(), *address, *before, after);
            save.historyProblem = kept ? kept->notice : kept.error().message;
        } else {
            save.historyProblem = u"The earlier version of block %1 of %2 could not be read, so it was not "
                                  "kept in %3: %4"_s.arg(QString::number(address->number), address->fileName,
                                                         HistoryFileName, before.error().message);
        }
        closeOriginalMark(db.path(), *address);
    }
    // What was typed is in the store now; a draft of it would only be offered again.
    if (save.written || !known)
        (void)dropDraft(db.path(), *address); // the save stands even when the draft stays
    save.stored = after;
    if (status == StatusCount::Count)
        save.status = currentStatusLine(db);
    return save;
}
