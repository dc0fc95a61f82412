#include "keeping/backup.h"

#include "store/database.h"
#include "store/layout.h"
#include "files/programfolder.h"
#include "files/safefile.h"
#include "store/sqlitehandle.h"
#include "keeping/storecheck.h"
#include "store/translationstatus.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sqlite3.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace Backups {

namespace {

const QString TimeFormat = u"yyyy-MM-dd_HH-mm-ss"_s;
const QString DamagedStore = u"damaged-store"_s;

// Copies are ordered by a number after the time that only grows: one more
// than the highest in the folder. Clocks go back and copies come from other
// machines; the number still says which copy was made last. Names written
// before the number was kept carry none (0) or a same-second count.
struct ParsedName
{
    BackupInfo info;
    qint64 sequence = 0;
};

std::optional<ParsedName> parseName(const QString &name)
{
    static const QRegularExpression pattern(
        u"^(\\d{4}-\\d{2}-\\d{2}_\\d{2}-\\d{2}-\\d{2})(?:-(\\d{1,12}))?_([^/\\\\]+)\\.db$"_s);
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return std::nullopt;
    ParsedName parsed;
    parsed.info.file = name;
    parsed.info.time = QDateTime::fromString(match.captured(1), TimeFormat);
    parsed.info.reason = match.captured(3);
    parsed.sequence = match.captured(2).toLongLong();
    if (!parsed.info.time.isValid())
        return std::nullopt;
    return parsed;
}

std::vector<ParsedName> parsedBackups(const QString &folder)
{
    std::vector<ParsedName> found;
    const QDir dir(folder);
    for (const QString &name : dir.entryList({u"*.db"_s}, QDir::Files | QDir::NoSymLinks)) {
        if (auto parsed = parseName(name)) {
            parsed->info.bytes = QFileInfo(dir.filePath(name)).size();
            found.push_back(*parsed);
        }
    }
    std::sort(found.begin(), found.end(), [](const ParsedName &a, const ParsedName &b) {
        if (a.sequence != b.sequence)
            return a.sequence > b.sequence;
        return a.info.time > b.info.time;
    });
    return found;
}

QString backupsFolderOf(const QString &programFolder)
{
    return programPath(programFolder, FolderName);
}

// Copies go only into a real folder inside the program folder: a symbolic
// link there could send them anywhere.
QString prepareFolder(const QString &folder)
{
    const QFileInfo info(folder);
    if (info.isSymLink())
        return u"%1 is a symbolic link; backups are written only into a real folder of the program folder. "
               "Replace it with a folder."_s.arg(QDir::toNativeSeparators(folder));
    if (info.exists() && !info.isDir())
        return u"%1 is a file, not a folder; move it away so that backups can be kept there."_s.arg(
            QDir::toNativeSeparators(folder));
    if (!info.exists() && !QDir().mkpath(folder))
        return u"The folder %1 could not be created."_s.arg(QDir::toNativeSeparators(folder));
    return {};
}

// The next number after every copy in the folder, the hidden ones being
// written included.
qint64 nextSequence(const QString &folder)
{
    qint64 highest = 0;
    for (QString name : QDir(folder).entryList({u"*.db"_s, u".*.db.part"_s}, QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.startsWith(u'.'))
            name = name.mid(1).chopped(5);
        if (const auto parsed = parseName(name))
            highest = std::max(highest, parsed->sequence);
    }
    return highest + 1;
}

QString sequencedName(const QDateTime &time, qint64 sequence, const QString &reason)
{
    return time.toString(TimeFormat) + u'-' + QString::number(sequence) + u'_' + reasonSlug(reason) + u".db"_s;
}

void removeFileAndJournals(const QString &path)
{
    for (const QString &suffix : {QString(), u"-journal"_s, u"-wal"_s, u"-shm"_s})
        QFile::remove(path + suffix);
}

// Page by page through SQLite; the destination's own transaction makes the
// copy all or nothing.
QString copyDatabase(sqlite3 *from, sqlite3 *to)
{
    sqlite3_backup *copy = sqlite3_backup_init(to, "main", from, "main");
    if (!copy)
        return sqliteMessage(to);
    const int stepped = sqlite3_backup_step(copy, -1);
    const int finished = sqlite3_backup_finish(copy);
    if (stepped != SQLITE_DONE)
        return QString::fromUtf8(sqlite3_errstr(stepped));
    if (finished != SQLITE_OK)
        return sqliteMessage(to);
    return {};
}

Outcome failed(const QString &message)
{
    return backupFailure(message);
}

// Never removes `made` nor `spared`: the copy an operation just made, and
// the one it is about to read.
void prune(const QString &folder, const QString &made, const QString &spared)
{
    const std::vector<ParsedName> all = parsedBackups(folder);
    for (size_t i = Kept; i < all.size(); ++i) {
        if (all[i].info.file != made && all[i].info.file != spared)
            QFile::remove(QDir(folder).filePath(all[i].info.file));
    }
}

Outcome backupStoreFile(const QString &storePath, const QString &folder, const QString &reason,
                        const QDateTime &now, const QString &spared = {})
{
    if (const QString why = prepareFolder(folder); !why.isEmpty())
        return failed(why);
    if (!QFileInfo(storePath).isFile())
        return failed(u"There is no store %1 to back up."_s.arg(QDir::toNativeSeparators(storePath)));

    // Another process may take the same number at the same moment: the
    // rename never replaces, and the loser takes the next number.
    QString why;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = sequencedName(now, nextSequence(folder), reason);
        const QString finalPath = QDir(folder).filePath(name);
        const QString partPath = QDir(folder).filePath(u'.' + name + u".part"_s);
        if (QFileInfo::exists(partPath))
            continue;
        {
            const Result<SqliteHandle> from = openSqlite(storePath, SQLITE_OPEN_READWRITE);
            const Result<SqliteHandle> to = from ? openSqlite(partPath, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)
                                                 : Result<SqliteHandle>(from.error());
            if (!to) {
                why = to.error().message;
            } else {
                why = copyDatabase(from->get(), to->get());
                // One file that any copy of SQLite opens alone, without a journal beside it.
                if (why.isEmpty() && execSqlite(to->get(), u"PRAGMA journal_mode=DELETE"_s) != SQLITE_OK)
                    why = sqliteMessage(to->get());
            }
        }
        if (why.isEmpty() && SafeFile::renameNoReplace(partPath, finalPath)) {
            prune(folder, name, spared);
            return name;
        }
        removeFileAndJournals(partPath);
        if (!why.isEmpty() || !QFileInfo::exists(finalPath))
            break;
    }
    if (why.isEmpty())
        why = u"no free name could be given to the copy"_s;
    return failed(u"The store %1 could not be backed up into %2: %3."_s.arg(
        QDir::toNativeSeparators(storePath), QDir::toNativeSeparators(folder), why));
}

// A store SQLite cannot even copy is moved aside whole, its journal with it.
QString setAside(const QString &storePath, const QString &folder, const QDateTime &now, QString *name)
{
    if (const QString why = prepareFolder(folder); !why.isEmpty())
        return why;
    *name = sequencedName(now, nextSequence(folder), DamagedStore);
    const QString target = QDir(folder).filePath(*name);
    if (!QFile::rename(storePath, target))
        return u"the damaged store could not be moved to %1"_s.arg(QDir::toNativeSeparators(target));
    QFile::rename(storePath + u"-wal"_s, target + u"-wal"_s);
    QFile::remove(storePath + u"-shm"_s);
    return {};
}

} // namespace

BackupFailure backupFailure(const QString &message, const QString &kept)
{
    BackupFailure failure;
    failure.message = message;
    failure.kept = kept;
    return failure;
}

QString reasonSlug(const QString &reason)
{
    QString slug;
    bool gap = false;
    for (const QChar c : reason) {
        if (c.isLetterOrNumber() || c == u'_' || c == u'-') {
            if (gap && !slug.isEmpty())
                slug += u'-';
            gap = false;
            slug += c;
        } else {
            gap = true;
        }
        if (slug.size() >= 40)
            break;
    }
    while (slug.endsWith(u'-'))
        slug.chop(1);
    return slug.isEmpty() ? Reason::Manual : slug;
}

QString backupFileName(const QDateTime &time, const QString &reason)
{
    return time.toString(TimeFormat) + u'_' + reasonSlug(reason) + u".db"_s;
}

std::optional<BackupInfo> parseBackupFileName(const QString &name)
{
    if (const auto parsed = parseName(name))
        return parsed->info;
    return std::nullopt;
}

Outcome makeBackup(const QString &programFolder, const QString &reason, const QDateTime &now)
{
    return backupStoreFile(programPath(programFolder, StoreFileName), backupsFolderOf(programFolder), reason, now);
}

Outcome keepCopy(const QString &programFolder, const QString &storePath, const QString &reason, const QDateTime &now)
{
    return backupStoreFile(storePath, backupsFolderOf(programFolder), reason, now);
}

Result<Done> backupBeforeChange(Database &db, const QString &reason)
{
    const QFileInfo store(db.path());
    const Outcome outcome =
        backupStoreFile(store.absoluteFilePath(), backupsFolderOf(store.absolutePath()), reason,
                        QDateTime::currentDateTime());
    if (outcome)
        return Done{};
    return Failure{outcome.error().message + u" Nothing was changed; free some room or fix the folder and try again."_s, {}, 0};
}

std::vector<BackupInfo> listBackups(const QString &programFolder)
{
    std::vector<BackupInfo> list;
    for (const ParsedName &parsed : parsedBackups(backupsFolderOf(programFolder)))
        list.push_back(parsed.info);
    return list;
}

bool dailyBackupDue(const QString &programFolder, const QDate &today)
{
    const std::vector<BackupInfo> list = listBackups(programFolder);
    return std::none_of(list.begin(), list.end(), [&today](const BackupInfo &backup) {
        return backup.reason == Reason::Daily && backup.time.date() == today;
    });
}

std::optional<int> translatedPercent(const QString &backupPath)
{
    // Read only: no settings are applied, so the copy stays as it was made.
    Database db;
    if (!db.open(backupPath))
        return std::nullopt;
    const Result<TranslationCount> count = translationPercent(db);
    if (!count || !count->hasBlocks())
        return std::nullopt;
    return count->percent();
}

namespace {

QString markerPath(const QString &programFolder)
{
    return QDir(backupsFolderOf(programFolder)).filePath(RestoreMarkerName);
}

// The copy at `source` becomes the store. A store file that is no store
// (an interrupted restore leaves an empty one) is removed first: its
// content is in the copy kept before the restore began.
QString putInPlace(const QString &source, const QString &storePath)
{
    if (QFileInfo::exists(storePath) && !checkStoreFile(storePath).ok())
        removeFileAndJournals(storePath);
    const Result<SqliteHandle> from = openSqlite(source, SQLITE_OPEN_READONLY);
    const Result<SqliteHandle> to = from ? openSqlite(storePath, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)
                                         : Result<SqliteHandle>(from.error());
    if (!to)
        return to.error().message;
    const QString why = copyDatabase(from->get(), to->get());
    // The store's own journal mode, which a store moved aside took with it.
    if (why.isEmpty())
        execSqlite(to->get(), u"PRAGMA journal_mode=WAL"_s);
    return why;
}

} // namespace

Outcome restoreBackup(const QString &programFolder, const QString &file, const QDateTime &now)
{
    const QString folder = backupsFolderOf(programFolder);
    const QString source = QDir(folder).filePath(file);
    const QFileInfo sourceInfo(source);
    if (!parseName(file) || !sourceInfo.isFile() || sourceInfo.isSymLink())
        return failed(u"There is no backup named %1 in %2; the store was left as it is. "
                      "List them with tallowpen-cli backups."_s.arg(file, QDir::toNativeSeparators(folder)));
    if (const Result<Done> check = checkStoreFile(source); !check)
        return failed(
            u"The backup %1 cannot be restored: %2. The store was left as it is."_s.arg(file, check.error().message));

    const QString storePath = programPath(programFolder, StoreFileName);
    if (QFileInfo(storePath).isSymLink())
        return failed(u"%1 is a symbolic link; a restore writes only into the program folder itself. "
                      "The store was left as it is."_s.arg(QDir::toNativeSeparators(storePath)));
    QString kept;
    bool movedAside = false;
    if (QFileInfo::exists(storePath)) {
        const Outcome before = backupStoreFile(storePath, folder, Reason::BeforeRestore, now, file);
        kept = before.value_or(QString());
        if (!before) {
            if (checkStoreFile(storePath).ok())
                return failed(before.error().message + u" The store is copied before it is replaced, so nothing was changed."_s);
            if (const QString why = setAside(storePath, folder, now, &kept); !why.isEmpty())
                return failed(before.error().message + u" Nothing was changed: "_s + why + u'.');
            movedAside = true;
        }
    }

    // Written before the store is touched: a restore killed from here on is
    // finished (or undone) by finishInterruptedRestore at the next start.
    QString why;
    if (const Result<Done> noted =
            SafeFile::writeWhole(markerPath(programFolder), (file + u'\n' + kept + u'\n').toUtf8(), programFolder);
        !noted)
        why = u"the note %1 could not be written (%2)"_s.arg(RestoreMarkerName, noted.error().message);
    else
        why = putInPlace(source, storePath);
    if (why.isEmpty()) {
        QFile::remove(markerPath(programFolder));
        return kept;
    }
    if (movedAside) {
        removeFileAndJournals(storePath);
        QFile::rename(QDir(folder).filePath(kept), storePath);
        QFile::rename(QDir(folder).filePath(kept) + u"-wal"_s, storePath + u"-wal"_s);
    }
    QFile::remove(markerPath(programFolder));
    return failed(u"The backup %1 could not be put in place of the store: %2. The store is as it was."_s.arg(file, why));
}

Result<QString> finishInterruptedRestore(const QString &programFolder)
{
    const QString marker = markerPath(programFolder);
    if (!QFileInfo(marker).isFile())
        return QString();
    const Result<QByteArray> note = SafeFile::readRegular(marker, 4096);
    if (!note)
        return QString();
    const QStringList lines = QString::fromUtf8(*note).split(u'\n');
    const QString file = lines.value(0), kept = lines.value(1);
    const QString folder = backupsFolderOf(programFolder);
    const QString storePath = programPath(programFolder, StoreFileName);
    QString told;
    QString why;
    if (parseName(file) && checkStoreFile(QDir(folder).filePath(file)).ok()
        && (why = putInPlace(QDir(folder).filePath(file), storePath)).isEmpty()) {
        told = u"A restore of the backup %1 was interrupted; it has now been finished."_s.arg(file);
    } else if (parseName(kept) && checkStoreFile(QDir(folder).filePath(kept)).ok()
               && (why = putInPlace(QDir(folder).filePath(kept), storePath)).isEmpty()) {
        told = u"A restore of the backup %1 was interrupted and could not be finished; the store was "
                          "put back as it was before it, from %2."_s.arg(file, kept);
    } else {
        return Failure{u"A restore of the backup %1 was interrupted, and neither it nor the store it replaced "
                       "(%2) could be put in place. Choose a backup with Tools, Restore from Backup…, or run: "
                       "tallowpen-cli backups"_s.arg(file, kept.isEmpty() ? u"none"_s : kept),
                       {}};
    }
    if (!kept.isEmpty())
        told += u" The store it replaced is kept as %1."_s.arg(kept);
    QFile::remove(marker);
    return told;
}

} // namespace Backups
