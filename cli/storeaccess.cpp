#include "cli/storeaccess.h"

#include "cli/command.h"

#include "project/openstore.h"
#include "project/serverundo.h"
#include "project/transfer.h"
#include "project/workingcopy.h"
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
    WorkingCopy copy(context.programFolder);
    if (Result<Done> taken = copy.take(*server); !taken)
        return context.fail(taken.error().message);
    CliContext working = context;
    working.server.clear();
    working.storeFile = copy.path();
    int status = command.run(working, arguments);
    // What the command kept is written back even when it stopped part way,
    // as it would stay in a local store.
    Result<qint64> written = copy.writeBack(*server, arguments.value(0));
    if (!written)
        return context.fail(written.error().message);
    // The editor's Undo Last Batch takes back a command's batch as its own.
    if (*written > 0) {
        if (const QString why = keepWrittenBatch(context.programFolder, server->connection().address(), copy); !why.isEmpty())
            context.err << why << Qt::endl;
    }
    return status;
}
