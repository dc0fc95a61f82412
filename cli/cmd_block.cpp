#include "cli/blockarguments.h"
#include "cli/commands.h"
#include "cli/jsonline.h"

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

} // namespace

// What a click on the block's node shows, as one JSON line.
int runBlock(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"TABLE FILE_NAME N"_s, u"The block."_s);
    if (!parseCommandLine(parser, context, arguments, 3, 3))
        return ExitUsage;
    Database db;
    const auto load = loadBlockFromArguments(db, context, parser.positionalArguments());
    if (!load)
        return load.status();

    JsonLine line;
    line.add("caption", load->caption)
        .add("original", load->original)
        .add("translation", load->translation)
        .add("comment", load->comment)
        .add("revised", load->revised ? 1 : 0)
        .add("revisedEnabled", load->revisedEnabled);
    addSize(line, "width", *load, load->currentWidth);
    addSize(line, "height", *load, load->currentHeight);
    context.out << line.toString() << Qt::endl;
    return ExitSuccess;
}
