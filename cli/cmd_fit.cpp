#include "cli/blockarguments.h"
#include "cli/commands.h"
#include "cli/jsonline.h"
#include "cli/sizeoption.h"

#include "check/fit.h"
#include "check/projectfit.h"
#include "project/sqlitestore.h"
#include "store/layout.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace {

JsonLine &addFit(JsonLine &line, const FitResult &fit)
{
    QList<JsonLine> overflow;
    for (const FitOverflow &over : fit.overflow)
        overflow << JsonLine().add("page", over.page).add("line", over.line).add("excess", over.excess);
    return line.add("changed", fit.changed).add("translation", fit.text).add("overflow", overflow);
}

int fitOne(CliContext &context, const QStringList &block, const WindowSizeOption &size, bool dryRun)
{
    Database db;
    const auto load = loadBlockFromArguments(db, context, block);
    if (!load)
        return load.status();
    const FitResult fit = fitToWindow(load->translation, size ? size->first : load->currentWidth,
                                      size ? size->second : load->currentHeight);
    if (fit.changed && !dryRun) {
        if (const Result<BlockSave> save = saveTranslation(db, *load, fit.text); !save)
            return context.fail(save.error().message);
    }
    JsonLine line;
    context.out << addFit(line, fit).toString() << Qt::endl;
    return ExitSuccess;
}

int fitAll(CliContext &context, const QString &folder, bool dryRun)
{
    Database db;
    if (!openProgramStore(db, context))
        return ExitFailure;
    SqliteStore store(db);
    const Result<std::vector<CheckedBlock>> read = readCheckedBlocks(store);
    if (!read)
        return context.fail(read.error().message);
    const std::vector<CheckedBlock> &blocks = *read;
    const ProjectFit fits =
        fitProject(blocks, [&folder](const CheckedBlock &block) { return folder.isEmpty() || block.table == folder; });
    const FitSaving saving = dryRun ? FitSaving() : saveFits(db, fits.changed);
    for (const BlockFit &each : fits.changed) {
        JsonLine line;
        line.add("table", each.block->table).add("file_name", each.block->fileName).add("dialogue_id", int(each.block->number));
        context.out << addFit(line, each.fit).toString() << '\n';
    }
    context.out.flush();
    for (const QString &problem : saving.problems)
        context.err << problem << Qt::endl;
    // A script that could not be saved keeps none of its blocks: count what was written.
    context.err << u"%1 blocks %2, %3 still overflowing."_s.arg(dryRun ? qsizetype(fits.changed.size())
                                                                      : qsizetype(saving.saved.size()))
                       .arg(dryRun ? u"would change"_s : u"fitted"_s)
                       .arg(fits.stillOverflowing)
                << Qt::endl;
    return saving.problems.isEmpty() ? ExitSuccess : ExitFailure;
}

} // namespace

// Re-wraps a block's translation to its window, or every block's with --all.
int runFit(CliContext &context, const QStringList &arguments)
{
    QStringList words = arguments;
    const auto size = takeSizeOption(context, words);
    if (!size)
        return size.status();
    QCommandLineParser parser;
    parser.addPositionalArgument(u"TABLE FILE_NAME N"_s, u"The block (none with --all)."_s);
    const QCommandLineOption all(u"all"_s, u"Every block with a translation."_s);
    const QCommandLineOption folder(u"folder"_s, u"With --all: battling_arena, battle_script or field."_s,
                                    u"FOLDER"_s);
    const QCommandLineOption dryRun(u"dry-run"_s, u"Print what would change; save nothing."_s);
    parser.addOptions({all, folder, dryRun});
    const bool everyBlock = words.contains(u"--all"_s);
    if (!parseCommandLine(parser, context, words, everyBlock ? 0 : 3, everyBlock ? 0 : 3))
        return ExitUsage;
    if (everyBlock && *size)
        return context.usage(u"--size goes with one block, not with --all."_s);
    if (!everyBlock && parser.isSet(folder))
        return context.usage(u"--folder goes with --all."_s);
    const QString table = parser.value(folder);
    if (parser.isSet(folder) && !ScriptTables::contains(table))
        return context.usage(u"Unknown folder %1: use battling_arena, battle_script or field."_s.arg(table));
    return everyBlock ? fitAll(context, table, parser.isSet(dryRun))
                      : fitOne(context, parser.positionalArguments(), *size, parser.isSet(dryRun));
}
