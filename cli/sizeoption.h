#pragma once

#include "cli/command.h"

#include <optional>
#include <utility>

// A window size given as "--size WIDTH HEIGHT", two whole numbers.
using WindowSizeOption = std::optional<std::pair<QString, QString>>;

// Takes "--size W H" out of `words` (the parser cannot read an option with
// two values); nullopt inside when it is not there, a usage stop when it is
// malformed.
OrStop<WindowSizeOption> takeSizeOption(CliContext &context, QStringList &words);
