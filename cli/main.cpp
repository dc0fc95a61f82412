#include "cli/command.h"
#include "cli/storeaccess.h"
#include "files/programfolder.h"
#include "keeping/backup.h"
#include "project/openstore.h"

#include <QCoreApplication>
#include <QLoggingCategory>

#include <cstdio>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

void printHelp(QTextStream &out, const QString &home)
{
    out << u"Usage: tallowpen-cli [--home DIR] [--server URI] [--verbose] COMMAND [ARGS]\n\n"
           "Runs the editor's own operations on the store in the program folder\n"
           "(--home DIR, else $TALLOWPEN_HOME, else the folder of this program when it\n"
           "holds tallowpen.db or may be written, else your data folder).\n"_s
        << describeProgramFolder(locateProgramFolder(home)) << u"\n\n"
           "Options:\n"
           "  --server URI        work on the store in a PostgreSQL database (a libpq URI or\n"
           "                      key=value words; else $TALLOWPEN_SERVER when set)\n"
           "  --verbose           one line per file read or written, besides the progress\n"
           "  --version           the program's version\n\n"
           "Commands:\n"_s;
    for (const CliCommand *command : allCommands())
        out << u"  %1%2\n"_s.arg(QString::fromLatin1(command->name), -20).arg(QString::fromLatin1(command->summary));
    out << u"\nExit status: 0 success, 1 refused or failed, 2 usage error.\n"_s;
}

} // namespace

int main(int argc, char *argv[])
{
    // No display: images are drawn and written with QtGui's raster code alone.
    QCoreApplication app(argc, argv);
    // stderr carries the commands' own messages; the libraries' log lines
    // would only bury them or say them twice.
    QLoggingCategory::setFilterRules(u"tallowpen.*.debug=false\ntallowpen.*.warning=false"_s);
    QCoreApplication::setApplicationName(u"tallowpen-cli"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(TALLOWPEN_VERSION));

    QTextStream out(stdout);
    QTextStream err(stderr);

    // Global options stand before the command; everything after belongs to it.
    QStringList arguments = QCoreApplication::arguments().mid(1);
    QString home;
    std::optional<QString> server;
    bool verbose = false;
    while (!arguments.isEmpty() && arguments.first().startsWith(u'-')) {
        const QString option = arguments.takeFirst();
        if (option == u"--help" || option == u"-h") {
            printHelp(out, home);
            return ExitSuccess;
        }
        if (option == u"--version") {
            out << u"tallowpen-cli %1"_s.arg(QCoreApplication::applicationVersion()) << Qt::endl;
            return ExitSuccess;
        }
        if (option == u"--verbose") {
            verbose = true;
            continue;
        }
        if (option == u"--server" && !arguments.isEmpty()) {
            server = arguments.takeFirst();
        } else if (option.startsWith(u"--server=")) {
            server = option.mid(9);
        } else if (option == u"--home" && !arguments.isEmpty()) {
            home = arguments.takeFirst();
        } else if (option.startsWith(u"--home=")) {
            home = option.mid(7);
        } else {
            err << u"Unknown option %1; see tallowpen-cli --help."_s.arg(option) << Qt::endl;
            return ExitUsage;
        }
    }
    if (arguments.isEmpty()) {
        printHelp(err, home);
        return ExitUsage;
    }
    const CliCommand *command = findCommand(arguments.first());
    if (!command) {
        err << u"Unknown command %1; see tallowpen-cli --help."_s.arg(arguments.first()) << Qt::endl;
        return ExitUsage;
    }
    const QString address = chosenServerAddress(server);
    if (address.isEmpty() && needsServer(*command)) {
        err << u"%1 works on a server store: give --server URI or set $TALLOWPEN_SERVER."_s.arg(arguments.first())
            << Qt::endl;
        return ExitUsage;
    }
    CliContext context{resolveProgramFolder(home), out, err, verbose, isatty(fileno(stderr)) == 1,
                       address, {}};
    if (const Result<QString> restore = Backups::finishInterruptedRestore(context.programFolder); !restore) {
        err << restore.error().message << Qt::endl;
        return ExitFailure;
    } else if (!restore->isEmpty()) {
        err << *restore << Qt::endl;
    }
    int status = ExitSuccess;
    if (!address.isEmpty() && readsServerCopy(*command))
        status = runOnServerCopy(*command, context, arguments);
    else if (!address.isEmpty() && writesServerCopy(*command))
        status = runOnServerWorkingCopy(*command, context, arguments);
    else
        status = command->run(context, arguments);
    out.flush();
    err.flush();
    return status;
}
