#include "cli/exportlist.h"

#include "cli/command.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

void addExportListOptions(QCommandLineParser &parser)
{
    parser.addOption({u"folder"_s, u"all (the default), battling_arena, battle_script or field."_s, u"FOLDER"_s,
                      u"all"_s});
    parser.addOption({u"only-revised"_s, u"List only scripts with translated and revised blocks."_s});
}

std::optional<ExportList> exportListFromOptions(const QCommandLineParser &parser, CliContext &context, Database &db,
                                                int *status)
{
    const QString folder = parser.value(u"folder"_s);
    const int folderIndex = folder == u"all" ? 0 : int(ExportFolderItems.indexOf(folder));
    if (folderIndex < 0) {
        context.err << u"Unknown folder %1: use all, battling_arena, battle_script or field."_s.arg(folder)
                    << Qt::endl;
        *status = ExitUsage;
        return std::nullopt;
    }
    *status = ExitFailure;
    if (!openProgramStore(db, context))
        return std::nullopt;
    ExportList list;
    list.onlyRevised = parser.isSet(u"only-revised"_s);
    QString error;
    if (!fillExportList(db, folderIndex, list.onlyRevised, list.rows, &error)) {
        context.err << error << Qt::endl;
        return std::nullopt;
    }
    *status = ExitSuccess;
    return list;
}
