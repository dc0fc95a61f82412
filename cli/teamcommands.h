#pragma once

#include "cli/command.h"
#include "cli/jsonline.h"

#include <QDateTime>

// The commands of working together on a server's store (one file each).
int runWatch(CliContext &context, const QStringList &arguments);
int runWho(CliContext &context, const QStringList &arguments);
int runClaim(CliContext &context, const QStringList &arguments);
int runServerGrant(CliContext &context, const QStringList &arguments);
// One kept version as history prints it; the server's lines add to it.
JsonLine historyLine(const QDateTime &time, const QString &translation, const QString &comment, bool revised);
// history with --server: the kept versions with who wrote them.
int runServerHistory(CliContext &context, const QStringList &words);
