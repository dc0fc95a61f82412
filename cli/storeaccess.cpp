#include "cli/storeaccess.h"

#include "cli/command.h"

#include "project/openstore.h"
#include "project/transfer.h"
#include "server/serverstore.h"
#include "files/programfolder.h"
#include "keeping/backup.h"
#include "store/layout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

std::unique_ptr<ProjectStore> openCommandStore(CliContext &context)
{
    if (context.server.isEmpty() && !programStoreExists(context))
        return nullptr;
    Result<std::unique_ptr<ProjectStore>> store = openProjectStore(context.programFolder, context.server);
    if (!store) {
        context.fail(store.error().message);
        return nullptr;
    }
    return std::move(*store);
}

OrStop<BlockRead> loadStoredBlock(ProjectStore &store, CliContext &context, const BlockAddress &address)
{
    Result<BlockRead> block = store.loadBlock(blockKey(address.table, address.fileName, address.number));
    if (!block)
        return context.fail(block.error().message);
    if (block->load.outcome != BlockLoad::Outcome::Loaded)
        return context.fail(block->load.message);
    return *block;
}

int runOnServerCopy(const CliCommand &command, CliContext &context, const QStringList &arguments)
{
    Result<ServerStore> server = ServerStore::open(context.server);
    if (!server)
        return context.fail(server.error().message);
    const QString copy =
        programPath(context.programFolder, u".server-%1.db"_s.arg(QCoreApplication::applicationPid()));
    if (Result<Done> written = ServerTransfer::writeCopy(*server, copy); !written)
        return context.fail(written.error().message);
    // Read only: a write would be lost with the copy, so it is refused instead.
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    CliContext onCopy = context;
    onCopy.server.clear();
    onCopy.storeFile = copy;
    const int status = command.run(onCopy, arguments);
    ServerTransfer::removeCopy(copy);
    return status;
}

int runOnServerWorkingCopy(const CliCommand &command, CliContext &context, const QStringList &arguments)
{
    Result<ServerStore> server = ServerStore::open(context.server);
    if (!server)
        return context.fail(server.error().message);
    QDir folder(programPath(context.programFolder, u".server-%1"_s.arg(QCoreApplication::applicationPid())));
    folder.removeRecursively();
    if (!folder.mkpath(u"."_s))
        return context.fail(u"The folder %1 for a copy of the server's store could not be made; check that the "
                            "program folder may be written."_s.arg(QDir::toNativeSeparators(folder.path())));
    const QString copy = folder.filePath(StoreFileName);
    Result<ServerTransfer::StoredSnapshot> snapshot = ServerTransfer::writeWorkingCopy(*server, copy);
    if (!snapshot) {
        folder.removeRecursively();
        return context.fail(snapshot.error().message);
    }
    CliContext working = context;
    working.server.clear();
    working.storeFile = copy;
    int status = command.run(working, arguments);
    // The copies a command takes before a large change are of the server's
    // store as it was: they join the program folder's backups.
    for (const Backups::BackupInfo &taken : Backups::listBackups(folder.path())) {
        const Backups::Outcome kept = Backups::keepCopy(
            context.programFolder, QDir(folder.filePath(Backups::FolderName)).filePath(taken.file), taken.reason);
        if (!kept.ok) {
            folder.removeRecursively();
            return context.fail(kept.message + u" Nothing was saved on the server."_s);
        }
    }
    // What the command kept is written back even when it stopped part way,
    // as it would stay in a local store.
    Result<StoreChange> change = ServerTransfer::changesSince(*snapshot, copy);
    if (!change)
        status = context.fail(u"What %1 changed could not be read back from its copy, so nothing was saved on the "
                              "server: %2"_s.arg(arguments.value(0), change.error().message));
    else if (!change->isEmpty()) {
        if (Result<qint64> written = server->writeChange(*change); !written)
            status = context.fail(VersionCheck::isConflict(written.error())
                                      ? written.error().message
                                      : u"Nothing %1 changed was saved on the server: %2"_s.arg(
                                            arguments.value(0), written.error().message));
    }
    folder.removeRecursively();
    return status;
}
