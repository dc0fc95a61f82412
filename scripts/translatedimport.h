#pragma once

#include "scripts/importprogress.h"
#include "store/database.h"

#include <QString>
#include <QStringList>

// The import of translated scripts, without widgets: each block of each file
// of the three folders writes its text into the translation of the row with
// the same file name and block number. Nothing is inserted or deleted. The
// folder check, the listing and the file-name rules are the original
// import's.
//
// Thread contract: the thread that owns `db`.
namespace TranslatedImport {

extern const QString FolderFailed; // "A fatal error happened while the script files were imported."
extern const QString AllImported;  // "All the translated scripts were imported."

struct Report
{
    bool validFolder = false; // false: base lacks battle_script, nothing was read
    qint64 blocks = 0;        // blocks whose statement ran and was kept
    QStringList failures;     // one sentence per folder that stopped, naming file and line
    QString lastStatus;       // what lblMsg shows at the end
};

struct FileCount
{
    int done = 0;
    int total = 0;
};

// One folder's listed names. Each file is one transaction; the first failure
// rolls that file back and ends the folder (the reason in `failure`); the
// files before it stay imported.
bool importTranslatedFolder(Database &db, const QString &basePath, const QString &folder, const QStringList &names,
                            ProgressPacer &pacer, QString *failure, qint64 *blocks, FileCount *files = nullptr);

// Everything after the folder picker returned `basePath`: the folder check
// and the three folders in their order. A folder that fails says so and the
// next one goes on.
Report run(Database &db, const QString &basePath, ProgressPacer &pacer);

} // namespace TranslatedImport
