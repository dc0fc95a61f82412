#include "cli/exportlist.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

void addExportListOptions(QCommandLineParser &parser)
{
    parser.addOption({u"folder"_s, u"all (the default), battling_arena, battle_script or field."_s, u"FOLDER"_s,
                      u"all"_s});
    parser.addOption({u"only-revised"_s, u"List only scripts with translated and revised blocks."_s});
}

OrStop<ExportList> exportListFromOptions(const QCommandLineParser &parser, CliContext &context, Database &db)
{
    const QString folder = parser.value(u"folder"_s);
    const int folderIndex = folder == u"all" ? 0 : int(ExportFolderItems.indexOf(folder));
    if (folderIndex < 0)
        return context.usage(u"Unknown folder %1: use all, battling_arena, battle_script or field."_s.arg(folder));
    if (!openProgramStore(db, context))
        return Stop{ExitFailure};
    ExportList list;
    list.onlyRevised = parser.isSet(u"only-revised"_s);
    Result<std::vector<ExportListRow>> rows = fillExportList(db, folderIndex, list.onlyRevised);
    if (!rows)
        return context.fail(rows.error().message);
    list.rows = std::move(*rows);
    return list;
}
