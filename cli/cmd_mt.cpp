#include "cli/blockarguments.h"
#include "cli/commands.h"
#include "cli/jsonline.h"
#include "exchange/machinedraft.h"
#include "memory/blockcontext.h"
#include "store/database.h"

#include <QCommandLineParser>
#include <QElapsedTimer>

using namespace Qt::StringLiterals;

// The machine draft the memory panel shows for the block.
int runMt(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"TABLE FILE_NAME N"_s, u"The block."_s);
    if (!parseCommandLine(parser, context, arguments, 3, 3))
        return ExitUsage;
    Database db;
    const auto load = loadBlockFromArguments(db, context, parser.positionalArguments());
    if (!load)
        return load.status();
    if (!load->stored)
        return context.fail(u"There is no block %1 in the store."_s.arg(parser.positionalArguments().join(u' ')));
    if (const auto missing = machineDraftsMissing())
        return context.fail(*missing);
    // Without the blocks around it the draft only misses the speakers' names.
    const QStringList names = speakerNames(blockContext(db, *load->address).value_or({}).blocks);
    ApertiumEngine engine;
    QElapsedTimer clock;
    clock.start();
    const Result<MachineDraft> drafted = engine.translate(load->original, names);
    if (!drafted)
        return context.fail(drafted.error().message);
    const MachineDraft &draft = *drafted;
    QStringList unknown;
    for (const MachineDraft::Span &span : draft.unknown)
        unknown << draft.text.mid(span.start, span.length);
    context.out << JsonLine()
                       .add("original", load->original)
                       .add("draft", draft.text)
                       .add("marked", draft.marked())
                       .add("unknown", unknown)
                       .add("kept", names)
                       .add("ms", qint64(clock.elapsed()))
                       .toString()
                << Qt::endl;
    return ExitSuccess;
}
