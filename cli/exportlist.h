#pragma once

#include "cli/command.h"
#include "scripts/scriptexport.h"

// --folder all|battling_arena|battle_script|field and --only-revised: what
// cmbFolder and "Only revised" hold when the export window fills its list.
void addExportListOptions(QCommandLineParser &parser);
struct ExportList
{
    bool onlyRevised = false;
    std::vector<ExportListRow> rows;
};
// The list as the options fill it from the program's store, opened into
// `db`; stops when an option is wrong or the store cannot be read.
OrStop<ExportList> exportListFromOptions(const QCommandLineParser &parser, CliContext &context, Database &db);
