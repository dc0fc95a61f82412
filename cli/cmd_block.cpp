#include "cli/blockarguments.h"
#include "cli/commands.h"
#include "cli/jsonline.h"
#include "cli/serveraccess.h"

#include "store/numbers.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace {

// A size as the loaded texts hold it; null where the block has none (no row).
void addSize(JsonLine &line, const char *key, const BlockLoad &load, const QString &value)
{
    const auto number = load.hasSize ? parseInt16(value) : std::nullopt;
    if (number)
        line.add(key, int(*number));
    else
        line.addNull(key);
}

JsonLine blockLine(const BlockLoad &load)
{
    JsonLine line;
    line.add("caption", load.caption)
        .add("original", load.original)
        .add("translation", load.translation)
        .add("comment", load.comment)
        .add("revised", load.revised ? 1 : 0)
        .add("revisedEnabled", load.revisedEnabled);
    addSize(line, "width", load, load.currentWidth);
    addSize(line, "height", load, load.currentHeight);
    return line;
}

// The server's block: the same line, then who changed it last and its version.
int runServerBlock(CliContext &context, const QStringList &words)
{
    const auto address = blockFromArguments(context, words);
    if (!address)
        return ExitUsage;
    auto store = openServerStore(context);
    if (!store)
        return ExitFailure;
    const auto block = loadServerBlock(*store, context, *address);
    if (!block)
        return block.status();
    JsonLine line = blockLine(block->load);
    if (block->version)
        line.add("version", *block->version).add("updated_by", block->updatedBy).add("updated_at", block->updatedAt);
    else
        line.addNull("version").addNull("updated_by").addNull("updated_at");
    context.out << line.toString() << Qt::endl;
    return ExitSuccess;
}

} // namespace

// What a click on the block's node shows, as one JSON line.
int runBlock(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"TABLE FILE_NAME N"_s, u"The block."_s);
    if (!parseCommandLine(parser, context, arguments, 3, 3))
        return ExitUsage;
    if (!context.server.isEmpty())
        return runServerBlock(context, parser.positionalArguments());
    Database db;
    const auto load = loadBlockFromArguments(db, context, parser.positionalArguments());
    if (!load)
        return load.status();
    context.out << blockLine(*load).toString() << Qt::endl;
    return ExitSuccess;
}
