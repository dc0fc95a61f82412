#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

// Exit statuses of tallowpen-cli.
enum ExitStatus {
    ExitSuccess = 0,
    ExitFailure = 1, // the system refused or an operation failed (message on stderr)
    ExitUsage = 2,   // the command line itself was wrong
};

// What every command gets: the resolved program folder and the two streams.
struct CliContext
{
    QString programFolder;
    QTextStream &out;
    QTextStream &err;
};

// One command: its name, a line for --help, and its body. `arguments`
// holds the command's own words (argument 0 is the command name), ready for
// a QCommandLineParser of the command's own.
struct CliCommand
{
    const char *name;
    const char *summary;
    int (*run)(CliContext &context, const QStringList &arguments);
};

// The table of commands (commands.cpp).
const CliCommand *findCommand(const QString &name);
QList<const CliCommand *> allCommands();

// Parses a command's own options; on a usage error prints it and returns false.
class QCommandLineParser;
bool parseCommandLine(QCommandLineParser &parser, CliContext &context, const QStringList &arguments,
                      int minPositional, int maxPositional);

// Opens the program folder's store for a command; prints why not on failure.
class Database;
bool openProgramStore(Database &db, CliContext &context);
