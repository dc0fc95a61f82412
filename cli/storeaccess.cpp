#include "cli/storeaccess.h"

#include "cli/command.h"

#include "project/openstore.h"

std::unique_ptr<ProjectStore> openCommandStore(CliContext &context)
{
    if (context.server.isEmpty() && !programStoreExists(context))
        return nullptr;
    Result<std::unique_ptr<ProjectStore>> store = openProjectStore(context.programFolder, context.server);
    if (!store) {
        context.fail(store.error().message);
        return nullptr;
    }
    return std::move(*store);
}

OrStop<BlockRead> loadStoredBlock(ProjectStore &store, CliContext &context, const BlockAddress &address)
{
    Result<BlockRead> block = store.loadBlock(blockKey(address.table, address.fileName, address.number));
    if (!block)
        return context.fail(block.error().message);
    if (block->load.outcome != BlockLoad::Outcome::Loaded)
        return context.fail(block->load.message);
    return *block;
}
