#pragma once

#include "store/result.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

class Database;

// Copies of tallowpen.db in backups/ under the program folder, made with
// SQLite's online backup API: a consistent copy even while a window holds
// the store open, and no file of the store is ever opened but by SQLite.
//
// A copy is named by the local date and time it was made, a number that
// grows with every copy, and its reason: "2024-05-01_14-02-11-7_import-translated.db",
// so that a person can tell them apart. The number orders them, whatever
// the clock said; the newest 20 are kept, and never is the copy just made
// pruned. Copies are single files (no journal beside them).
//
// Thread contract: the caller's thread; each call opens its own connections.
namespace Backups {

inline constexpr int Kept = 20;
inline const QString FolderName = QStringLiteral("backups");

// The reasons the program itself gives.
namespace Reason {
inline const QString Daily = QStringLiteral("daily");
inline const QString ImportOriginal = QStringLiteral("import-original");
inline const QString ImportTranslated = QStringLiteral("import-translated");
inline const QString LinksImport = QStringLiteral("links-import");
inline const QString BeforeRestore = QStringLiteral("before-restore");
inline const QString Manual = QStringLiteral("manual");
inline const QString UpdateOriginal = QStringLiteral("update-original");
inline const QString Replace = QStringLiteral("replace");
inline const QString Pull = QStringLiteral("pull");
} // namespace Reason

struct BackupInfo
{
    QString file; // name inside backups/
    QDateTime time;
    QString reason;
    qint64 bytes = 0;
};

// Why a copy or a restore failed, and the copy it had made before then
// (a restore on a server copies the server's store first and keeps it).
struct BackupFailure : Failure
{
    QString kept;
};
BackupFailure backupFailure(const QString &message, const QString &kept = {});

// The copy made (for a restore, the copy of the store it replaced; empty
// when there was none), or why not.
using Outcome = Result<QString, BackupFailure>;

// A reason as it can stand in a file name: letters, digits, "-" and "_";
// any other run of characters becomes one "-". Empty gives "manual".
QString reasonSlug(const QString &reason);
// A copy's name as copies were named before they carried a number (still
// read, ordered before any numbered one); nullopt for a name that is not one.
QString backupFileName(const QDateTime &time, const QString &reason);
std::optional<BackupInfo> parseBackupFileName(const QString &name);

// Copies the store of `programFolder` and then drops the oldest copies past
// Kept.
Outcome makeBackup(const QString &programFolder, const QString &reason,
                   const QDateTime &now = QDateTime::currentDateTime());
// Copies another store file (a copy made elsewhere, such as a server's
// store written out) into the backups of `programFolder`, as makeBackup does.
Outcome keepCopy(const QString &programFolder, const QString &storePath, const QString &reason,
                 const QDateTime &now = QDateTime::currentDateTime());
// The copy taken before an operation that deletes or replaces many rows,
// for the store `db` is open on; the failure's sentence says why the
// operation must not go on.
Result<Done> backupBeforeChange(Database &db, const QString &reason);

// Newest first.
std::vector<BackupInfo> listBackups(const QString &programFolder);
// True when no daily copy was made on `today`.
bool dailyBackupDue(const QString &programFolder, const QDate &today = QDate::currentDate());

// The share of translated blocks in a copy, as the status line counts it;
// nullopt when it cannot be read or holds no blocks.
std::optional<int> translatedPercent(const QString &backupPath);

// Puts a copy back in place of the store, after copying the store as it is
// (reason "before-restore"). A copy that is damaged or not a store is
// refused and nothing changes. A store too damaged to be copied is moved
// into backups/ under the reason "damaged-store" instead, so that nothing
// is thrown away.
Outcome restoreBackup(const QString &programFolder, const QString &file,
                      const QDateTime &now = QDateTime::currentDateTime());

// A restore that was killed before it ended leaves a note in backups/. This
// finishes it (or, when the copy cannot be read any more, puts back the
// store it replaced) and removes the note; every start of the editor and
// every command calls it first. Gives what happened, for the user (empty
// when no restore was running), or the failure when the store could not be
// made whole again.
inline const QString RestoreMarkerName = QStringLiteral("restore-in-progress.txt");
Result<QString> finishInterruptedRestore(const QString &programFolder);

} // namespace Backups
