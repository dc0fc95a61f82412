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

// Runs a command that writes the store on a working copy of the server's
// store (in a folder of its own in the program folder, with the history
// files a local store keeps beside it), then writes every change it made
// back in one transaction, each block against the version it was copied at.
// A block that moved on the server meanwhile fails the whole write as a
// conflict: the server's store is left as it was, and so on any failure.
int runOnServerWorkingCopy(const CliCommand &command, CliContext &context, const QStringList &arguments);

// A block loaded as a click on its node loads it; stops as
// loadBlockFromArguments does.
OrStop<BlockRead> loadStoredBlock(ProjectStore &store, CliContext &context, const BlockAddress &address);
