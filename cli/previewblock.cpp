#include "cli/previewblock.h"

#include "cli/command.h"
#include "store/blockedit.h"
#include "store/database.h"
#include "store/layout.h"
#include "store/storetext.h"

using namespace Qt::StringLiterals;

std::optional<BlockAddress> blockFromArguments(CliContext &context, const QStringList &words)
{
    if (words.size() != 3) {
        context.err << u"A block is named by TABLE FILE_NAME N."_s << Qt::endl;
        return std::nullopt;
    }
    if (!ScriptTables::contains(words[0])) {
        context.err << u"Unknown table %1: use battling_arena, battle_script or field."_s.arg(words[0]) << Qt::endl;
        return std::nullopt;
    }
    bool ok = false;
    const int number = words[2].toInt(&ok);
    if (!ok || number < -32768 || number > 32767) {
        context.err << u"The block number %1 is not a whole number from -32768 to 32767."_s.arg(words[2])
                    << Qt::endl;
        return std::nullopt;
    }
    // File names are stored as every text is: with grave accents for apostrophes.
    return BlockAddress{words[0], toStoreText(words[1]), qint16(number)};
}

std::optional<PreviewBlock> readPreviewBlock(Database &db, CliContext &context, const BlockAddress &block)
{
    if (!openProgramStore(db, context))
        return std::nullopt;
    const QString name = u"[%1] - [%2] - [%3]"_s.arg(block.table, block.fileName).arg(block.number);
    // Read exactly as a click on the block's node reads it.
    const BlockLoad load = loadBlock(db, blockKey(block.table, block.fileName, block.number));
    switch (load.outcome) {
    case BlockLoad::Outcome::Duplicate:
        context.err << DuplicateRecordsMessage << u" (block %1)"_s.arg(name) << Qt::endl;
        return std::nullopt;
    case BlockLoad::Outcome::Failed:
    case BlockLoad::Outcome::NotABlock:
        context.err << u"Block %1 could not be read: %2"_s.arg(name, load.message) << Qt::endl;
        return std::nullopt;
    case BlockLoad::Outcome::Loaded:
        break;
    }
    if (!load.stored) {
        context.err << u"There is no block %1."_s.arg(name) << Qt::endl;
        return std::nullopt;
    }
    return PreviewBlock{load.currentWidth, load.currentHeight, load.translation};
}
