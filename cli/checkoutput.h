#pragma once

#include "check/projectcheck.h"
#include "scripts/scriptexport.h"

#include <vector>

class Database;
struct CliContext;

// export --check, before writing: nullopt when the scripts to export hold no
// error (go on), else the exit status after the errors were printed.
std::optional<int> refuseExportWithErrors(CliContext &context, Database &db, const std::vector<ExportListRow> &ticked,
                                          bool onlyRevised);
// export --check, after writing: prints every difference between the files
// read back and the store; the exit status.
int reportReadBack(CliContext &context, Database &db, const std::vector<ExportListRow> &ticked, bool onlyRevised,
                   bool includeUntranslated);
