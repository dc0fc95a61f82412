#pragma once

#include "cli/command.h"
#include "store/blockedit.h"

// A block named on the command line as TABLE FILE_NAME N, with a usage
// error printed when the words cannot name one.
OrStop<BlockAddress> blockFromArguments(CliContext &context, const QStringList &words);

// TABLE FILE_NAME N loaded from the program's store (opened into `db`) as a
// click on its node loads it; a block without a row loads empty. Stops when
// the words name no block or the load fails or meets duplicates.
OrStop<BlockLoad> loadBlockFromArguments(Database &db, CliContext &context, const QStringList &words);

// What loading a block gives the preview: its window size and, for a
// translated block, its translation as the editor shows it.
struct PreviewBlock
{
    QString width;
    QString height;
    QString translation;
};
// The block read as the preview reads it from the program's store (opened
// into `db`); stops, naming the block, when it is missing, duplicated or
// unreadable.
OrStop<PreviewBlock> readPreviewBlock(Database &db, CliContext &context, const BlockAddress &block);
