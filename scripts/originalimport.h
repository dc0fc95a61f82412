#pragma once

#include "scripts/importprogress.h"
#include "scripts/scriptformat.h"
#include "store/database.h"
#include "keeping/duplicates.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The import of the original scripts: the three script tables filled from a
// folder holding battling_arena/, battle_script/ and field/, one row per
// block, untranslated. Widget-free; the window and the command line both
// run it and show its texts.
//
// Thread contract: the thread that owns `db`.
namespace OriginalImport {

// Texts the user reads, word for word.
extern const QString Question;        // asked when the store already holds scripts
extern const QString InvalidFolder;   // the three lines, CR LF between them
extern const QString AllImported;     // "All the scripts were imported."

// Rows of the three script tables together, counted as the window counts
// them; nullopt (and `error`) when a query failed.
std::optional<qint64> existingScriptRows(Database &db, Failure *error = nullptr);


// The folder a user must pick: it holds battle_script (the one folder
// tested; a missing battling_arena or field just yields no files).
bool isScriptFolder(const QString &basePath);

// Why a folder that is there cannot be listed whole (not a folder, no
// access, a link to nothing, a "*.txt" name that is not UTF-8); empty when it
// can, or when there is nothing at all (a missing folder yields no files).
// Empty for a script folder; else why not: a folder that cannot be read is
// named with the reason, any other gets InvalidFolder.
QString folderProblem(const QString &basePath);
QString listingProblem(const QString &folderPath);

// The "*.txt" files of a folder (case-insensitive, files only, as a
// Windows listing gives them), sorted by name without regard to case and
// then with it, so that every run meets the files in the same order.
QStringList listScriptFiles(const QString &folderPath);

// The progress text while a folder is imported. The original import says
// "files" for battle_script where every other text says "scripts".
QString folderText(const QString &folder, bool originalImport);
// folder "\" name, as the status texts write a file.
QString shownPath(const QString &folder, const QString &name);
// folder "/" name (the system's separator), as the program's own messages write a file.
QString messagePath(const QString &folder, const QString &name);

// The statement that stores one block of `name` in `folder`.
QString insertStatement(const QString &folder, const QString &name, const ScriptBlock &block);

// Why a listed name cannot be imported; empty when it can. An apostrophe
// would be stored as a grave accent, so the export would write the script
// under another name; a semicolon would cut the block's key in the wrong place.
QString checkFileName(const QString &name);

// What an import stored: all of it, or what it kept before it stopped.
struct Imported
{
    int files = 0;       // files stored completely
    qint64 blocks = 0;   // rows inserted and kept
    // Blocks the store holds more than once afterwards, or why they could not be read.
    ::Result<std::vector<DuplicateBlock>> duplicates = std::vector<DuplicateBlock>();
};

// Why an import stopped (the message is the last status text), where, and
// what the store kept of it.
struct Stopped : Failure
{
    QString file;   // folder "\" name of the file that stopped it
    int line = 0;   // 1-based line in that file, 0 when none applies
    Imported done;
};

// Done, its status text AllImported; or stopped.
using Result = ::Result<Imported, Stopped>;

// "N blocks are stored more than once": the count the import reports.
QString duplicatesLine(const ::Result<std::vector<DuplicateBlock>> &duplicates);

// One run over the three folders under a base path, in the order
// battling_arena, battle_script, field. Every name is checked before any row
// is written. Each file's rows go in one transaction: a failure rolls back
// that file only, keeps the files before it and stops the import.
//
// Replace (the user answered Yes to Question): a backup first, then the four
// deletions and the whole import in one transaction, so that a failure, a
// refusal or a crash anywhere leaves the store exactly as it was.
class Importer
{
public:
    enum class Mode { Add, Replace };
    Importer(Database &db, const QString &basePath, ProgressPacer &pacer, Mode mode = Mode::Add);

    Result run();

private:
    // One folder's listed names. The reader's sizes start at 0 here and
    // carry over from file to file. False when the import must stop.
    bool importOriginalFolder(const QString &folder, const QStringList &names);
    bool importFile(const QString &folder, const QString &name, ReaderSizes &sizes);
    bool stop(const QString &file, int line, const QString &message);
    Result stopped();

    Database &m_db;
    QString m_base;
    ProgressPacer &m_pacer;
    Mode m_mode;
    Imported m_done;
    std::optional<Stopped> m_stopped;
    int m_filesDone = 0;
    int m_filesTotal = 0;
    bool m_storedBefore = false;   // rows in the script tables before the first file
    bool m_repeatedNumber = false; // a file named a block number twice
    std::vector<qint16> m_numbers; // the current file's block numbers
};

} // namespace OriginalImport
