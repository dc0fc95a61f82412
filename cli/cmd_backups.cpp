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

int runRestore(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"FILE"_s, u"A copy's name, as tallowpen-cli backups lists it."_s);
    if (!parseCommandLine(parser, context, arguments, 1, 1))
        return ExitUsage;
    const QString file = parser.positionalArguments().constFirst();
    Backups::Outcome outcome;
    if (context.server.isEmpty()) {
        outcome = Backups::restoreBackup(context.programFolder, file);
    } else {
        Result<ServerStore> server = ServerStore::open(context.server);
        outcome = server ? restoreOnServer(*server, context.programFolder, file)
                         : Backups::Outcome{false, {}, server.error().message};
    }
    if (!outcome.ok) {
        context.err << outcome.message << Qt::endl;
        return ExitFailure;
    }
    context.out << JsonLine().add("restored", file).add("kept", outcome.file).toString() << Qt::endl;
    return ExitSuccess;
}
