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
    Database db;
    const auto list = exportListFromOptions(parser, context, db);
    if (!list)
        return list.status();
    for (const ExportListRow &row : list->rows)
        context.out << JsonLine().add("script", row.script).add("folder", row.folder).add("overview", row.overview).toString()
                    << '\n';
    context.out.flush();
    return ExitSuccess;
}
