#include "cli/commands.h"

#include "cli/jsonline.h"
#include "keeping/backup.h"
#include "keeping/history.h"
#include "keeping/storecheck.h"
#include "files/programfolder.h"
#include "store/layout.h"
#include "project/transfer.h"
#include "server/serverstore.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

// ISO 8601 with the offset from UTC, so that a time read by a program means
// one moment wherever it is read.
QString isoTime(const QDateTime &time)
{
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate);
}

QString backupLine(const Backups::BackupInfo &backup)
{
    return JsonLine()
        .add("file", backup.file)
        .add("time", isoTime(backup.time))
        .add("reason", backup.reason)
        .add("bytes", backup.bytes)
        .toString();
}

} // namespace

int runBackups(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    if (!parseCommandLine(parser, context, arguments, 0, 0))
        return ExitUsage;
    for (const Backups::BackupInfo &backup : Backups::listBackups(context.programFolder))
        context.out << backupLine(backup) << u'\n';
    return ExitSuccess;
}

int runBackup(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption reason(u"reason"_s, u"Why the copy is made; part of its name."_s, u"TEXT"_s,
                                    Backups::Reason::Manual);
    parser.addOption(reason);
    if (!parseCommandLine(parser, context, arguments, 0, 0))
        return ExitUsage;
    Backups::Outcome outcome;
    if (context.server.isEmpty()) {
        outcome = Backups::makeBackup(context.programFolder, parser.value(reason));
    } else {
        // The server's store is copied as pull copies it, under its reason.
        if (parser.isSet(reason))
            return context.usage(u"On a server store a backup is a pull, kept under the reason pull; leave out "
                                 "--reason."_s);
        Result<ServerStore> store = ServerStore::open(context.server);
        if (!store)
            return context.fail(store.error().message);
        Result<QString> file = ServerTransfer::pull(*store, context.programFolder);
        outcome = file ? Backups::Outcome{true, *file, {}} : Backups::Outcome{false, {}, file.error().message};
    }
    if (!outcome.ok) {
        context.err << outcome.message << Qt::endl;
        return ExitFailure;
    }
    for (const Backups::BackupInfo &backup : Backups::listBackups(context.programFolder)) {
        if (backup.file == outcome.file)
            context.out << backupLine(backup) << Qt::endl;
    }
    return ExitSuccess;
}

namespace {

// On a server the copy's content becomes the server's store as a versioned
// batch, so that a team keeps working on it: every block that differs gets a
// new version and a history row, as if saved, and editors are told. The
// server's store is pulled into backups/ first, as a local restore copies
// the store first. A block saved meanwhile fails it as a conflict.
Backups::Outcome restoreOnServer(CliContext &context, const QString &file)
{
    const QString folder = programPath(context.programFolder, Backups::FolderName);
    const QString source = QDir(folder).filePath(file);
    const QFileInfo sourceInfo(source);
    if (!Backups::parseBackupFileName(file) || !sourceInfo.isFile() || sourceInfo.isSymLink())
        return {false, {}, u"There is no backup named %1 in %2; the store was left as it is. "
                           "List them with tallowpen-cli backups."_s.arg(file, QDir::toNativeSeparators(folder))};
    if (const Result<Done> check = checkStoreFile(source); !check)
        return {false, {}, u"The backup %1 cannot be restored: %2. The store was left as it is."_s.arg(
                               file, check.error().message)};
    Result<ServerStore> server = ServerStore::open(context.server);
    if (!server)
        return {false, {}, server.error().message};
    Result<QString> kept = ServerTransfer::pull(*server, context.programFolder);
    if (!kept)
        return {false, {}, kept.error().message + u" The store is copied before it is replaced, so nothing was "
                                                  "changed."_s};
    Result<ServerTransfer::StoredSnapshot> now = ServerTransfer::readStoredSnapshot(*server);
    if (!now)
        return {false, *kept, now.error().message};
    // Read from a copy of its own: opening a store may bring its layout up to date.
    QDir work(programPath(context.programFolder, u".server-%1"_s.arg(QCoreApplication::applicationPid())));
    work.removeRecursively();
    const QString copy = work.filePath(StoreFileName);
    if (!work.mkpath(u"."_s) || !QFile::copy(source, copy)) {
        work.removeRecursively();
        return {false, *kept, u"The backup %1 could not be copied into %2 to be read; the server's store was "
                              "left as it is."_s.arg(file, QDir::toNativeSeparators(work.path()))};
    }
    Result<StoreChange> change = ServerTransfer::changesSince(*now, copy);
    Result<qint64> written = change ? server->writeChange(*change) : Result<qint64>(change.error());
    work.removeRecursively();
    if (!written)
        return {false, *kept, written.error().message};
    return {true, *kept, {}};
}

} // namespace

int runRestore(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"FILE"_s, u"A copy's name, as tallowpen-cli backups lists it."_s);
    if (!parseCommandLine(parser, context, arguments, 1, 1))
        return ExitUsage;
    const QString file = parser.positionalArguments().constFirst();
    const Backups::Outcome outcome = context.server.isEmpty() ? Backups::restoreBackup(context.programFolder, file)
                                                              : restoreOnServer(context, file);
    if (!outcome.ok) {
        context.err << outcome.message << Qt::endl;
        return ExitFailure;
    }
    context.out << JsonLine().add("restored", file).add("kept", outcome.file).toString() << Qt::endl;
    return ExitSuccess;
}
