#pragma once

#include "store/database.h"

#include <QString>
#include <QStringList>

#include <functional>

// The import of translated scripts, without widgets: each block of each file
// of the three folders writes its text into the translation of the row with
// the same file name and block number. Nothing is inserted or deleted.
//
// Thread contract: the caller's thread, with the caller's Database.

inline const QString TranslatedFolderFailedMessage =
    QStringLiteral("A fatal error happened while the script files were imported.");
inline const QString TranslatedImportDoneMessage = QStringLiteral("All the translated scripts were imported.");

// What the import tells the window while it runs.
struct TranslatedImportHooks
{
    std::function<void(const QString &)> status; // the lblMsg texts, in order
    std::function<void()> afterLine;             // after every line read: let the window breathe
    std::function<void(int done, int total)> progress; // files done of all files listed
};

// "UPDATE folder SET text_data_t = '…', translated = 1, revised = 0 WHERE
// file_name = '…' AND dialogue_id = N;" with the text in stored form.
QString translatedUpdateStatement(const QString &folder, const QString &fileName, qint16 number,
                                  const QString &storedText);

// The script files of one folder under `base`, in the order they are imported.
QStringList translatedScriptFiles(const QString &base, const QString &folder);

// One folder's import. False at the first failure (the reason, naming the
// file and line, in `failure`); blocks updated before it stay updated.
bool ImportTranslatedFolder(Database &db, const QString &base, const QString &folder,
                            const TranslatedImportHooks &hooks, QString *failure, int *blocks = nullptr);

struct TranslatedImportReport
{
    bool validFolder = false; // false: base lacks battle_script, nothing was read
    int blocks = 0;           // blocks whose statement ran
    QStringList failures;     // one sentence per folder that stopped
    QString lastStatus;       // what lblMsg shows at the end
};

// Everything after the folder picker returned `base`: the folder check and
// the three folders in their order. A folder that fails does not stop the next.
TranslatedImportReport importTranslatedScripts(Database &db, const QString &base, const TranslatedImportHooks &hooks);
