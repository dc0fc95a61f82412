#pragma once

#include "cli/command.h"
#include "keeping/projectstore.h"

#include <memory>

// The store a command works on: the server's with --server or
// $TALLOWPEN_SERVER, else the program folder's tallowpen.db. Prints why not
// (the file, or host, database and the server's reason) and gives nothing
// when it cannot be had.
std::unique_ptr<ProjectStore> openCommandStore(CliContext &context);

// Runs a command that only reads the store on a consistent copy of the
// server's store, made in the program folder, opened only for reading and
// removed afterwards: it prints what it prints on the local store.
int runOnServerCopy(const CliCommand &command, CliContext &context, const QStringList &arguments);

// A block loaded as a click on its node loads it; stops as
// loadBlockFromArguments does.
OrStop<BlockRead> loadStoredBlock(ProjectStore &store, CliContext &context, const BlockAddress &address);
