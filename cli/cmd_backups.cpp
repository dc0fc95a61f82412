#include "cli/commands.h"

#include "cli/jsonline.h"
#include "keeping/backup.h"
#include "keeping/history.h"
#include "keeping/storecheck.h"
#include "files/programfolder.h"
#include "store/layout.h"
#include "project/transfer.h"
#include "project/workingcopy.h"
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
    // The server's store is copied as pull copies it, under its reason.
    if (!context.server.isEmpty() && parser.isSet(reason))
        return context.usage(u"On a server store a backup is a pull, kept under the reason pull; leave out "
                             "--reason."_s);
    const Result<QString> made = [&]() -> Result<QString> {
        if (context.server.isEmpty()) {
            const Backups::Outcome outcome = Backups::makeBackup(context.programFolder, parser.value(reason));
            return outcome ? Result<QString>(*outcome) : Result<QString>(outcome.error());
        }
        Result<ServerStore> store = ServerStore::open(context.server);
        if (!store)
            return store.error();
        return ServerTransfer::pull(*store, context.programFolder);
    }();
    if (!made)
        return context.fail(made.error().message);
    for (const Backups::BackupInfo &backup : Backups::listBackups(context.programFolder)) {
        if (backup.file == *made)
            context.out << backupLine(backup) << Qt::endl;
    }
    return ExitSuccess;
}

int runRestore(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"FILE"_s, u"A copy's name, as tallowpen-cli backups lists it."_s);
    if (!parseCommandLine(parser, context, arguments, 1, 1))
        return ExitUsage;
    const QString file = parser.positionalArguments().constFirst();
    const Backups::Outcome outcome = [&]() -> Backups::Outcome {
        if (context.server.isEmpty())
            return Backups::restoreBackup(context.programFolder, file);
        Result<ServerStore> server = ServerStore::open(context.server);
        if (!server)
            return Backups::backupFailure(server.error().message);
        return restoreOnServer(*server, context.programFolder, file);
    }();
    if (!outcome)
        return context.fail(outcome.error().message);
    context.out << JsonLine().add("restored", file).add("kept", *outcome).toString() << Qt::endl;
    return ExitSuccess;
}
