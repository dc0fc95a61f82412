#include "cli/blockload.h"

#include "cli/command.h"
#include "cli/previewblock.h"

using namespace Qt::StringLiterals;

std::optional<BlockLoad> loadBlockFromArguments(Database &db, CliContext &context, const QStringList &words,
                                                int *status)
{
    const auto address = blockFromArguments(context, words);
    if (!address) {
        *status = ExitUsage;
        return std::nullopt;
    }
    *status = ExitFailure;
    if (!openProgramStore(db, context))
        return std::nullopt;
    BlockLoad load = loadBlock(db, blockKey(address->table, address->fileName, address->number));
    if (load.outcome != BlockLoad::Outcome::Loaded) {
        context.err << load.message << Qt::endl;
        return std::nullopt;
    }
    *status = ExitSuccess;
    return load;
}
