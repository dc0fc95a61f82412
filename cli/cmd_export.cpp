#include "cli/checkoutput.h"
#include "cli/commands.h"
#include "cli/exportlist.h"
#include "cli/progress.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

// The export window's list filled as export-list fills it, the rows ticked,
// and its Export button pressed.
int runExport(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"SCRIPT..."_s, u"Tick the rows of these scripts (or --all)."_s);
    addExportListOptions(parser);
    const QCommandLineOption include(u"include-untranslated"_s, u"Include blocks without translation."_s);
    const QCommandLineOption all(u"all"_s, u"Tick every row."_s);
    const QCommandLineOption check(u"check"_s, u"Refuse when the scripts hold errors; read the files back."_s);
    parser.addOptions({include, all, check});
    if (!parseCommandLine(parser, context, arguments, 0, -1))
        return ExitUsage;
    const QStringList named = parser.positionalArguments();
    if (parser.isSet(all) == !named.isEmpty())
        return context.usage(u"Give --all or the scripts to export, not both."_s);
    Database db;
    const auto list = exportListFromOptions(parser, context, db);
    if (!list)
        return list.status();
    std::vector<ExportListRow> ticked;
    QStringList unlisted = named;
    for (const ExportListRow &row : list->rows) {
        if (parser.isSet(all) || named.contains(row.script)) {
            ticked.push_back(row);
            unlisted.removeAll(row.script);
        }
    }
    for (const QString &script : std::as_const(unlisted))
        context.err << u"%1 is not in the list; it was not exported."_s.arg(script) << Qt::endl;

    if (parser.isSet(check) && !ticked.empty()) {
        if (const auto refused = refuseExportWithErrors(context, db, ticked, list->onlyRevised))
            return *refused;
    }
    CliProgress progress(context.err, CliProgress::modeFor(context.verbose, context.stderrIsTerminal));
    const ExportResult result = exportScripts(db, context.programFolder, ticked, list->onlyRevised,
                                              parser.isSet(include), &progress);
    progress.finish();
    if (!result)
        return context.fail(result.error().message);
    context.out << result->message << Qt::endl;
    return parser.isSet(check) ? reportReadBack(context, db, ticked, list->onlyRevised, parser.isSet(include))
                               : ExitSuccess;
}
