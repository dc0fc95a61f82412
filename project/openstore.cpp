#include "project/openstore.h"

#include "project/sqlitestore.h"
#include "server/serverstore.h"
#include "store/layout.h"
#include "files/programfolder.h"

QString chosenServerAddress(const std::optional<QString> &commandLine, const QString &setting)
{
    if (commandLine)
        return *commandLine;
    const QString environment = qEnvironmentVariable("TALLOWPEN_SERVER");
    return environment.isEmpty() ? setting : environment;
}

Result<std::unique_ptr<ProjectStore>> openProjectStore(const QString &programFolder, const QString &serverAddress)
{
    if (serverAddress.isEmpty()) {
        Result<std::unique_ptr<SqliteStore>> local = SqliteStore::open(programPath(programFolder, StoreFileName));
        if (!local)
            return local.error();
        return std::unique_ptr<ProjectStore>(std::move(*local));
    }
    Result<ServerStore> server = ServerStore::open(serverAddress);
    if (!server)
        return server.error();
    return std::unique_ptr<ProjectStore>(std::make_unique<ServerStore>(std::move(*server)));
}
