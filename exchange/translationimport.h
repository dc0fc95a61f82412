#pragma once

#include "exchange/exchangeblock.h"
#include "keeping/blocksave.h"

#include <QString>

#include <functional>
#include <optional>

#include <utility>
#include <vector>

class Database;

// What an import of a translation file did: a batch of block saves, kept
// together so that it can be named, undone from its backup, or listed.
struct TranslationImport
{
    enum class Kind { Saved, WouldSave, SourceChanged, NoBlock, Failed };
    struct Line
    {
        Kind kind = Kind::Saved;
        BlockAddress address;
        QString detail; // the text saved, or why the unit was passed over
    };

    std::optional<Failure> failure; // why the import stopped (nothing after the backup was changed then)
    QString message;   // what to know although it went through
    QString backup;    // the copy made before the first save, inside backups/; empty on a dry run
    std::vector<Line> lines; // one per unit that was saved or passed over, in file order
    // Each saved block's key and its save, for the tree nodes and the memory.
    std::vector<std::pair<QString, BlockSave>> saved;
    int unchanged = 0;
    int count(Kind kind) const;
};

inline const QString ImportXliffReason = QStringLiteral("import-xliff");
inline const QString ImportPoReason = QStringLiteral("import-po");

// Saves the units whose target differs from the block's translation, each
// through the block save (its history kept, its comment as it was, the
// "Revised" mark as the file gives it), in one transaction after a backup.
// A unit whose source is no longer the block's original is reported and
// left alone, and so is one whose block is not in the store. `dryRun`
// reports what would be saved and writes nothing.
// `progress` hears of each block saved (done, of how many).
TranslationImport importTranslations(Database &db, const std::vector<ExchangeUnit> &units, const QString &reason,
                                     bool dryRun, const std::function<void(int, int)> &progress = {});
