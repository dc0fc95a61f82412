#include "cli/commands.h"
#include "cli/exportlist.h"
#include "cli/jsonline.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

// The rows the export window lists, one JSON object per line.
int runExportList(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    addExportListOptions(parser);
    if (!parseCommandLine(parser, context, arguments, 0, 0))
        return ExitUsage;
    const auto choice = exportListChoice(parser, context);
    if (!choice)
        return ExitUsage;
    Database db;
    if (!openProgramStore(db, context))
        return ExitFailure;
    const auto rows = fillExportList(db, context, *choice);
    if (!rows)
        return ExitFailure;
    for (const ExportListRow &row : *rows)
        context.out << JsonLine().add("script", row.script).add("folder", row.folder).add("overview", row.overview).toString()
                    << '\n';
    context.out.flush();
    return ExitSuccess;
}
