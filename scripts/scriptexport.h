#pragma once

#include "store/database.h"
#include "store/importexportrows.h"

#include <QString>
#include <QStringList>

#include <vector>

class ImportProgress;

// The export of translated scripts, without widgets: the list of scripts that
// ExportWindow offers, and the writing of the ticked ones into the Translated
// folder under the program folder.
//
// Thread contract: the caller's thread, with the caller's Database.

// One row of the list: a script, its folder (table) and the translation of
// its first listed block, as stored.
struct ExportListRow
{
    QString script;
    QString folder;
    QString overview;

    bool operator==(const ExportListRow &) const = default;
};

// cmbFolder's items, in their order; the index chooses the folders listed.
inline const QStringList ExportFolderItems = {QStringLiteral("All Folders"), QStringLiteral("battling_arena"),
                                              QStringLiteral("battle_script"), QStringLiteral("field")};
QStringList exportFolders(int folderIndex);

// fillExportList: one row per run of consecutive rows of the same script.
// Fails when a query fails.
Result<std::vector<ExportListRow>> fillExportList(Database &db, int folderIndex, bool onlyRevised);

inline const QString NothingToExportMessage = QStringLiteral("Nothing to export, make selection fisrt please");
// " N scripts were exported, check the 'Translated' folder at the application path"
QString exportedMessage(qsizetype ticked);

// A whole export: the scripts written and the message that says so.
struct ExportSummary
{
    int written = 0;
    QString message;
};

// Why an export stopped or left scripts out, and what it wrote before.
struct ExportFailure : Failure
{
    int written = 0;        // files written
    QString failedPath;     // the folder or the first file that could not be made
    QStringList failures;   // "path: why" for each script not written
};

using ExportResult = Result<ExportSummary, ExportFailure>;

// The Export button's work for the ticked rows, in list order. Files are
// replaced whole or not at all. A folder that cannot be made stops the run;
// a script that cannot be written is listed and the others are written.
// `progress`, when given, hears of each file before it is written.
ExportResult exportScripts(Database &db, const QString &programFolder, const std::vector<ExportListRow> &ticked,
                           bool onlyRevised, bool includeUntranslated, ImportProgress *progress = nullptr);
