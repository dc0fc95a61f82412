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

std::optional<ExportListChoice> exportListChoice(const QCommandLineParser &parser, CliContext &context)
{
    const QString folder = parser.value(u"folder"_s);
    ExportListChoice choice;
    choice.onlyRevised = parser.isSet(u"only-revised"_s);
    choice.folderIndex = folder == u"all" ? 0 : int(ExportFolderItems.indexOf(folder));
    if (choice.folderIndex < 0) {
        context.err << u"Unknown folder %1: use all, battling_arena, battle_script or field."_s.arg(folder)
                    << Qt::endl;
        return std::nullopt;
    }
    return choice;
}

std::optional<std::vector<ExportListRow>> fillExportList(Database &db, CliContext &context,
                                                         const ExportListChoice &choice)
{
    std::vector<ExportListRow> rows;
    QString error;
    if (!FillExportList(db, choice.folderIndex, choice.onlyRevised, rows, &error)) {
        context.err << error << Qt::endl;
        return std::nullopt;
    }
    return rows;
}
