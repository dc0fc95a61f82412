#include "cli/serveraccess.h"


std::optional<ServerStore> openServerStore(CliContext &context)
{
    Result<ServerStore> store = ServerStore::open(context.server);
    if (!store) {
        context.fail(store.error().message);
        return std::nullopt;
    }
    return std::move(*store);
}

OrStop<ServerBlockLoad> loadServerBlock(ServerStore &store, CliContext &context, const BlockAddress &address)
{
    Result<ServerBlockLoad> block = store.loadBlock(blockKey(address.table, address.fileName, address.number));
    if (!block)
        return context.fail(block.error().message);
    if (block->load.outcome != BlockLoad::Outcome::Loaded)
        return context.fail(block->load.message);
    return *block;
}
