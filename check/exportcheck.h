#pragma once

#include "check/projectcheck.h"
#include "scripts/scriptexport.h"

#include <QStringList>

#include <vector>

class Database;

// The checks around an export: before it, the blocks it is about to write
// with their translation; after it, every written file read back with the
// script reader and compared with what was meant to be written.
//
// Thread contract: the caller's thread, with the caller's Database.

// The errors of the blocks an export of `ticked` would write with their
// translation (the rows its statement selects that are marked translated).
ProjectCheck checkBeforeExport(const CheckedProject &project, const std::vector<ExportListRow> &ticked,
                               bool onlyRevised);

// Reads back the files an export wrote for `ticked` under the program
// folder and compares them, block by block (number, header sizes, text after
// the quote mapping), with the rows the export's own statements select now.
// One sentence per difference, naming the file and the block; empty when
// every file reads back as written.
QStringList verifyExport(Database &db, const QString &programFolder, const std::vector<ExportListRow> &ticked,
                         bool onlyRevised, bool includeUntranslated);
