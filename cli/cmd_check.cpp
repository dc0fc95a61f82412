#include "cli/checkoutput.h"
#include "cli/commands.h"
#include "cli/jsonline.h"
#include "cli/progress.h"
#include "cli/sizeoption.h"
#include "cli/storeaccess.h"

#include "check/exportcheck.h"
#include "project/sqlitestore.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace {

// Reads the project from an open store.
bool loadCliProject(CliContext &context, Database &db, CheckedProject &project)
{
    SqliteStore store(db);
    Result<CheckedProject> loaded = loadProject(store, context.programFolder);
    if (!loaded) {
        context.err << loaded.error().message << Qt::endl;
        return false;
    }
    project = std::move(*loaded);
    return true;
}

} // namespace

// Every finding of the selected blocks, one JSON object per line; the count
// on stderr. CI scripts read both: the keys, their order and the last line
// stay as they are.
int runCheck(CliContext &context, const QStringList &arguments)
{
    QStringList words = arguments;
    const auto size = takeSizeOption(context, words);
    if (!size)
        return size.status();
    QCommandLineParser parser;
    const QCommandLineOption folder(u"folder"_s, u"battling_arena, battle_script or field."_s, u"FOLDER"_s);
    const QCommandLineOption script(u"script"_s, u"Only this script (its file name)."_s, u"FILE_NAME"_s);
    const QCommandLineOption rule(u"rule"_s, u"Only this rule (repeatable): %1."_s.arg(ruleIds().join(u", "_s)),
                                  u"ID"_s);
    const QCommandLineOption errorsOnly(u"errors-only"_s, u"Leave the warnings out."_s);
    parser.addOptions({folder, script, rule, errorsOnly});
    if (!parseCommandLine(parser, context, words, 0, 0))
        return ExitUsage;
    const QString table = parser.value(folder);
    if (parser.isSet(folder) && !checkTableName(context, table))
        return ExitUsage;
    ProjectCheckOptions options;
    options.errorsOnly = parser.isSet(errorsOnly);
    options.size = *size;
    if (parser.isSet(rule)) {
        options.rules = RuleSet::none();
        for (const QString &id : parser.values(rule)) {
            const auto known = ruleFromId(id);
            if (!known) {
                context.err << u"Unknown rule %1: use %2."_s.arg(id, ruleIds().join(u", "_s)) << Qt::endl;
                return ExitUsage;
            }
            options.rules.insert(*known);
        }
    }
    const QString scriptName = parser.value(script);
    options.inScope = [&](const CheckedBlock &block) {
        return (table.isEmpty() || block.table == table) && (scriptName.isEmpty() || block.fileName == scriptName);
    };

    // On a server its own store, not a copy: the marks of the originals'
    // updates are the server's, and a copy beside history.db would read the
    // local store's.
    const std::unique_ptr<ProjectStore> store = openCommandStore(context);
    if (!store)
        return ExitFailure;
    CliProgress progress(context.err, CliProgress::modeFor(context.verbose, context.stderrIsTerminal));
    progress.showText(u"Reading the blocks and the links..."_s);
    const Result<CheckedProject> loaded = loadProject(*store, context.programFolder);
    if (loaded)
        progress.showText(u"Checking %1 blocks..."_s.arg(loaded->blocks.size()));
    const ProjectCheck check = loaded ? checkProject(*loaded, options) : ProjectCheck();
    progress.finish(); // before any message, which would otherwise share its line
    if (!loaded)
        return context.fail(loaded.error().message);
    for (const BlockFindings &block : check.blocks) {
        for (const Finding &f : block.findings) {
            context.out << JsonLine()
                               .add("table", block.block->table)
                               .add("file_name", block.block->fileName)
                               .add("dialogue_id", int(block.block->number))
                               .add("rule", ruleId(f.rule))
                               .add("severity", severityName(f.severity))
                               .add("message", f.message)
                               .add("start", qint64(f.start))
                               .add("length", qint64(f.length))
                               .toString()
                        << '\n';
        }
    }
    context.out.flush();
    context.err << checkSummary(check) << Qt::endl;
    return check.errors > 0 ? ExitFailure : ExitSuccess;
}

std::optional<int> refuseExportWithErrors(CliContext &context, Database &db, const std::vector<ExportListRow> &ticked,
                                          bool onlyRevised)
{
    CheckedProject project;
    if (!loadCliProject(context, db, project))
        return ExitFailure;
    const ProjectCheck check = checkBeforeExport(project, ticked, onlyRevised);
    if (check.errors == 0)
        return std::nullopt;
    for (const BlockFindings &block : check.blocks) {
        for (const Finding &f : block.findings)
            context.err << u"%1 %2 block %3: [%4] %5"_s.arg(block.block->table, block.block->fileName)
                               .arg(block.block->number)
                               .arg(ruleId(f.rule), f.message)
                        << Qt::endl;
    }
    context.err << u"Nothing was exported: the scripts to export hold %1 errors (see tallowpen-cli check)."_s.arg(
                       check.errors)
                << Qt::endl;
    return ExitFailure;
}

int reportReadBack(CliContext &context, Database &db, const std::vector<ExportListRow> &ticked, bool onlyRevised,
                   bool includeUntranslated)
{
    const QStringList differences = verifyExport(db, context.programFolder, ticked, onlyRevised, includeUntranslated);
    for (const QString &difference : differences)
        context.err << difference << Qt::endl;
    return differences.isEmpty() ? ExitSuccess : ExitFailure;
}
