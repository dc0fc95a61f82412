#include "cli/commands.h"
#include "cli/jsonline.h"
#include "cli/progress.h"
#include "cli/storeaccess.h"

#include "scripts/originalupdate.h"
#include "store/database.h"
#include "keeping/originalhistory.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

// A new version of the game's scripts brought in without losing a
// translation: one line per block that is not unchanged, the counts on stderr.
int runUpdateOriginal(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"DIR"_s, u"Folder holding battling_arena, battle_script and field."_s);
    const QCommandLineOption dryRun(u"dry-run"_s, u"Say what would change; change nothing."_s);
    parser.addOption(dryRun);
    Database db;
    if (const auto stop = parseAndOpenStore(parser, db, context, arguments, 1, 1))
        return *stop;
    CliProgress progress(context.err, CliProgress::modeFor(context.verbose, context.stderrIsTerminal));
    ProgressPacer pacer(&progress);
    const Result<OriginalUpdate::Outcome> result =
        OriginalUpdate::updateOriginals(db, parser.positionalArguments().constFirst(), pacer, parser.isSet(dryRun));
    progress.finish();
    if (!result)
        return progress.printsEveryText() ? Stop{ExitFailure} : context.fail(result.error().message);
    for (const OriginalUpdate::BlockChange &change : result->changes) {
        context.out << JsonLine()
                           .add("table", change.table)
                           .add("file_name", change.fileName)
                           .add("dialogue_id", int(change.number))
                           .add("change", OriginalUpdate::changeName(change.change))
                           .toString()
                    << u'\n';
    }
    context.out.flush();
    if (!progress.printsEveryText())
        context.err << OriginalUpdate::summary(*result) << Qt::endl;
    return ExitSuccess;
}

// The blocks updates of the originals took away, newest first; with --restore
// ID one of them goes back into the store.
int runRemovedBlocks(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption restore(u"restore"_s, u"Put the removed block ID back into the store."_s, u"ID"_s);
    parser.addOption(restore);
    if (!parseCommandLine(parser, context, arguments, 0, 0))
        return ExitUsage;
    // A server's store keeps what its updates took away itself.
    const std::unique_ptr<ProjectStore> store = openCommandStore(context);
    if (!store)
        return ExitFailure;
    if (parser.isSet(restore)) {
        bool number = false;
        const qint64 id = parser.value(restore).toLongLong(&number);
        if (!number)
            return context.usage(u"--restore takes the id of a removed block, as this command lists them."_s);
        if (const Result<Done> restored = store->restoreRemovedBlock(id); !restored)
            return context.fail(restored.error().message);
        return ExitSuccess;
    }
    const auto blocks = store->removedBlocks();
    if (!blocks)
        return context.fail(blocks.error().message);
    for (const RemovedBlock &block : *blocks) {
        context.out << JsonLine()
                           .add("id", block.id)
                           .add("time", block.time.toString(Qt::ISODateWithMs))
                           .add("table", block.address.table)
                           .add("file_name", block.address.fileName)
                           .add("dialogue_id", int(block.address.number))
                           .add("translated", block.translated)
                           .toString()
                    << u'\n';
    }
    return ExitSuccess;
}
