#include "cli/blockarguments.h"

#include "store/database.h"
#include "store/storetext.h"

using namespace Qt::StringLiterals;

OrStop<BlockAddress> blockFromArguments(CliContext &context, const QStringList &words)
{
    if (words.size() != 3)
        return context.usage(u"A block is named by TABLE FILE_NAME N."_s);
    if (!checkTableName(context, words[0]))
        return Stop{ExitUsage};
    bool ok = false;
    const int number = words[2].toInt(&ok);
    if (!ok || number < -32768 || number > 32767)
        return context.usage(u"The block number %1 is not a whole number from -32768 to 32767."_s.arg(words[2]));
    // File names are stored as every text is: with grave accents for apostrophes.
    return BlockAddress{words[0], toStoreText(words[1]), qint16(number)};
}

OrStop<BlockLoad> loadBlockFromArguments(Database &db, CliContext &context, const QStringList &words)
{
    const auto address = blockFromArguments(context, words);
    if (!address)
        return Stop{ExitUsage};
    if (!openProgramStore(db, context))
        return Stop{ExitFailure};
    BlockLoad load = loadBlock(db, blockKey(address->table, address->fileName, address->number));
    if (load.outcome != BlockLoad::Outcome::Loaded)
        return context.fail(load.message);
    return load;
}

OrStop<PreviewBlock> readPreviewBlock(Database &db, CliContext &context, const BlockAddress &block)
{
    if (!openProgramStore(db, context))
        return Stop{ExitFailure};
    const QString name = u"[%1] - [%2] - [%3]"_s.arg(block.table, block.fileName).arg(block.number);
    // Read exactly as a click on the block's node reads it.
    const BlockLoad load = loadBlock(db, blockKey(block.table, block.fileName, block.number));
    switch (load.outcome) {
    case BlockLoad::Outcome::Duplicate:
        return context.fail(DuplicateRecordsMessage + u" (block %1)"_s.arg(name));
    case BlockLoad::Outcome::Failed:
    case BlockLoad::Outcome::NotABlock:
        return context.fail(u"Block %1 could not be read: %2"_s.arg(name, load.message));
    case BlockLoad::Outcome::Loaded:
        break;
    }
    if (!load.stored)
        return context.fail(u"There is no block %1."_s.arg(name));
    return PreviewBlock{load.currentWidth, load.currentHeight, load.translation};
}
