#pragma once

#include "keeping/projectstore.h"

#include <memory>
#include <optional>

// The server address in force: the command line's when it gave one (an
// empty one too, which asks for the local store), else $TALLOWPEN_SERVER,
// else the editor's setting. Empty: the program folder's store.
QString chosenServerAddress(const std::optional<QString> &commandLine, const QString &setting = {});

// The store the program works on: the server's database when `serverAddress`
// is given (connected, its layout checked), else tallowpen.db in
// `programFolder`. The failure names the file, or the host, the database and
// the server's reason.
Result<std::unique_ptr<ProjectStore>> openProjectStore(const QString &programFolder, const QString &serverAddress);
