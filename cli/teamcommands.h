#pragma once

#include "cli/command.h"

// The commands of working together on a server's store (one file each).
int runWatch(CliContext &context, const QStringList &arguments);
int runWho(CliContext &context, const QStringList &arguments);
int runClaim(CliContext &context, const QStringList &arguments);
int runServerGrant(CliContext &context, const QStringList &arguments);
// history with --server: the kept versions with who wrote them.
int runServerHistory(CliContext &context, const QStringList &words);
