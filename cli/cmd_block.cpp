#include "cli/blockarguments.h"
#include "cli/commands.h"
#include "cli/jsonline.h"
#include "cli/storeaccess.h"

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

} // namespace

// What a click on the block's node shows, as one JSON line.
int runBlock(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"TABLE FILE_NAME N"_s, u"The block."_s);
    if (!parseCommandLine(parser, context, arguments, 3, 3))
        return ExitUsage;
    const auto address = blockFromArguments(context, parser.positionalArguments());
    if (!address)
        return ExitUsage;
    const auto store = openCommandStore(context);
    if (!store)
        return ExitFailure;
    const auto block = loadStoredBlock(*store, context, *address);
    if (!block)
        return block.status();
    JsonLine line = blockLine(block->load);
    // A server's store adds who changed the block last and its version.
    if (store->keepsVersions() && block->version)
        line.add("version", *block->version).add("updated_by", block->updatedBy).add("updated_at", block->updatedAt);
    else if (store->keepsVersions())
        line.addNull("version").addNull("updated_by").addNull("updated_at");
    context.out << line.toString() << Qt::endl;
    return ExitSuccess;
}
