#include "project/workingcopy.h"

#include "files/programfolder.h"
#include "keeping/backup.h"
#include "keeping/storecheck.h"
#include "store/layout.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

WorkingCopy::WorkingCopy(const QString &programFolder)
    : m_programFolder(programFolder)
    , m_folder(QFileInfo(pathIn(programFolder)).path())
{
}

WorkingCopy::~WorkingCopy()
{
    m_folder.removeRecursively();
}

QString WorkingCopy::path() const
{
    return m_folder.filePath(StoreFileName);
}

QString WorkingCopy::pathIn(const QString &programFolder)
{
    return QDir(programPath(programFolder, u".server-%1"_s.arg(QCoreApplication::applicationPid())))
        .filePath(StoreFileName);
}

Result<Done> WorkingCopy::take(ServerStore &server)
{
    m_folder.removeRecursively();
    if (!m_folder.mkpath(u"."_s))
        return Failure{u"The folder %1 for a copy of the server's store could not be made; check that the "
                       "program folder may be written."_s.arg(QDir::toNativeSeparators(m_folder.path())),
                       {}};
    Result<ServerTransfer::StoredSnapshot> snapshot = ServerTransfer::writeWorkingCopy(server, path());
    if (!snapshot)
        return snapshot.error();
    m_snapshot = std::move(*snapshot);
    return Done{};
}

Result<qint64> WorkingCopy::writeBack(ServerStore &server, const QString &what)
{
    // The copies taken before a large change are of the server's store as
    // it was: they join the program folder's backups.
    for (const Backups::BackupInfo &taken : Backups::listBackups(m_folder.path())) {
        const Backups::Outcome kept = Backups::keepCopy(
            m_programFolder, QDir(m_folder.filePath(Backups::FolderName)).filePath(taken.file), taken.reason);
        if (!kept)
            return Failure{kept.error().message + u" Nothing was saved on the server."_s, {}};
        m_keptAs.insert(taken.file, *kept);
    }
    Result<StoreChange> change = ServerTransfer::changesSince(m_snapshot, path());
    if (!change)
        return Failure{u"What %1 changed could not be read back from its copy, so nothing was saved on the "
                       "server: %2"_s.arg(what, change.error().message),
                       {}};
    if (change->isEmpty())
        return qint64(0);
    Result<qint64> written = server.writeChange(*change);
    if (written)
        m_written = std::move(*change);
    if (!written && !VersionCheck::isConflict(written.error()))
        return Failure{u"Nothing %1 changed was saved on the server: %2"_s.arg(what, written.error().message),
                       written.error().sqlState, written.error().code};
    return written;
}

// The server's store is pulled into backups/ first, as a local restore
// copies the store first; then the backup's content is written as a change
// against what the server holds now.
Backups::Outcome restoreOnServer(ServerStore &server, const QString &programFolder, const QString &file)
{
    const QString folder = programPath(programFolder, Backups::FolderName);
    const QString source = QDir(folder).filePath(file);
    const QFileInfo sourceInfo(source);
    if (!Backups::parseBackupFileName(file) || !sourceInfo.isFile() || sourceInfo.isSymLink())
        return Backups::backupFailure(u"There is no backup named %1 in %2; the store was left as it is. "
                                      "List them with tallowpen-cli backups."_s.arg(file, QDir::toNativeSeparators(folder)));
    if (const Result<Done> check = checkStoreFile(source); !check)
        return Backups::backupFailure(u"The backup %1 cannot be restored: %2. The store was left as it is."_s.arg(
            file, check.error().message));
    Result<QString> kept = ServerTransfer::pull(server, programFolder);
    if (!kept)
        return Backups::backupFailure(kept.error().message
                                      + u" The store is copied before it is replaced, so nothing was changed."_s);
    Result<ServerTransfer::StoredSnapshot> now = ServerTransfer::readStoredSnapshot(server);
    if (!now)
        return Backups::backupFailure(now.error().message, *kept);
    // Read from a copy of its own: opening a store may bring its layout up to date.
    WorkingCopy work(programFolder);
    work.m_folder.removeRecursively();
    if (!work.m_folder.mkpath(u"."_s) || !QFile::copy(source, work.path()))
        return Backups::backupFailure(u"The backup %1 could not be copied into %2 to be read; the server's store "
                                      "was left as it is."_s.arg(file, QDir::toNativeSeparators(work.m_folder.path())),
                                      *kept);
    Result<StoreChange> change = ServerTransfer::changesSince(*now, work.path());
    Result<qint64> written = change ? server.writeChange(*change) : Result<qint64>(change.error());
    if (!written)
        return Backups::backupFailure(written.error().message, *kept);
    return *kept;
}
