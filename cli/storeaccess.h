#pragma once

#include "cli/command.h"
#include "store/projectstore.h"

#include <memory>

// The store a command works on: the server's with --server or
// $TALLOWPEN_SERVER, else the program folder's tallowpen.db. Prints why not
// (the file, or host, database and the server's reason) and gives nothing
// when it cannot be had.
std::unique_ptr<ProjectStore> openCommandStore(CliContext &context);

// A block loaded as a click on its node loads it; stops as
// loadBlockFromArguments does.
OrStop<BlockRead> loadStoredBlock(ProjectStore &store, CliContext &context, const BlockAddress &address);
