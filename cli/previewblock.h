#pragma once

#include "store/nodekey.h"

#include <QString>
#include <QStringList>

#include <optional>

class Database;
struct CliContext;

// A block named on the command line as TABLE FILE_NAME N; nullopt (with a
// usage message printed) when the words cannot name one.
std::optional<BlockAddress> blockFromArguments(CliContext &context, const QStringList &words);

// What loading a block gives the preview: its window size and, for a
// translated block, its translation as the editor shows it.
struct PreviewBlock
{
    QString width;
    QString height;
    QString translation;
};
// Opens the program folder's store in `db` and reads the block; nullopt
// (with the reason printed) when the store cannot be opened or the block is
// missing, duplicated or unreadable.
std::optional<PreviewBlock> readPreviewBlock(Database &db, CliContext &context, const BlockAddress &block);
