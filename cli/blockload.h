#pragma once

#include "store/blockedit.h"

#include <QStringList>

#include <optional>

struct CliContext;

// TABLE FILE_NAME N loaded as a click on its node loads it; nullopt (the
// reason printed, `status` set) when the words name no block or the load
// fails or meets duplicates.
std::optional<BlockLoad> loadBlockFromArguments(Database &db, CliContext &context, const QStringList &words,
                                                int *status);
