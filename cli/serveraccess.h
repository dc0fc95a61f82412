#pragma once

#include "cli/command.h"
#include "server/serverstore.h"

#include <optional>

// The server's store for a command run with --server; prints why not (host,
// database and the server's reason) and gives nothing when it cannot be had.
std::optional<ServerStore> openServerStore(CliContext &context);

// A block loaded from the server's store as a click on its node loads it;
// stops as loadBlockFromArguments does.
OrStop<ServerBlockLoad> loadServerBlock(ServerStore &store, CliContext &context, const BlockAddress &address);
