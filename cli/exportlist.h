#pragma once

#include "scripts/scriptexport.h"

#include <optional>

struct CliContext;
class QCommandLineParser;

// --folder all|battling_arena|battle_script|field and --only-revised: what
// cmbFolder and "Only revised" hold when the export window fills its list.
void addExportListOptions(QCommandLineParser &parser);
struct ExportListChoice
{
    int folderIndex = 0;
    bool onlyRevised = false;
};
// nullopt (message printed) for an unknown folder.
std::optional<ExportListChoice> exportListChoice(const QCommandLineParser &parser, CliContext &context);
// FillExportList; nullopt (message printed) when the store cannot be read.
std::optional<std::vector<ExportListRow>> fillExportList(Database &db, CliContext &context,
                                                         const ExportListChoice &choice);
