#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>
#include <utility>

class Database;
class QCommandLineParser;

// Exit statuses of tallowpen-cli.
enum ExitStatus {
    ExitSuccess = 0,
    ExitFailure = 1, // the system refused or an operation failed (message on stderr)
    ExitUsage = 2,   // the command line itself was wrong
};

// A command that stops: its reason is already on stderr, and this is the
// status it exits with. Returned as it is from a command's body.
struct Stop
{
    ExitStatus status;
    operator int() const { return status; }
};

// A value a command goes on with, or the Stop that came instead.
template<typename T>
class OrStop
{
public:
    OrStop(T value)
        : m_value(std::move(value))
    {
    }
    OrStop(Stop stop)
        : m_status(stop.status)
    {
    }
    explicit operator bool() const { return m_value.has_value(); }
    const T &operator*() const { return *m_value; }
    const T *operator->() const { return &*m_value; }
    int status() const { return m_status; }

private:
    std::optional<T> m_value;
    ExitStatus m_status = ExitSuccess;
};

// What every command gets: the resolved program folder and the two streams.
struct CliContext
{
    QString programFolder;
    QTextStream &out;
    QTextStream &err;
    bool verbose = false;          // --verbose: every progress text on a line
    bool stderrIsTerminal = false; // progress as one line rewritten in place
    QString server;                // --server or $TALLOWPEN_SERVER; empty: the program folder's store
    QString storeFile;             // a copy of the server's store read instead of tallowpen.db; empty: none

    // Every failure of a command goes through these two: one line on stderr.
    Stop fail(const QString &message, ExitStatus status = ExitFailure)
    {
        err << message << Qt::endl;
        return {status};
    }
    Stop usage(const QString &message) { return fail(message, ExitUsage); }
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
// The commands that run only on a server's store.
bool needsServer(const CliCommand &command);
// The commands that only read the store: on a server they run unchanged on a
// consistent copy of its store (storeFile).
bool readsServerCopy(const CliCommand &command);
// The commands that write the store: on a server they run on a working copy
// whose changes are written back, versioned (runOnServerWorkingCopy).
bool writesServerCopy(const CliCommand &command);

// Parses a command's own options; on a usage error prints it and returns false.
bool parseCommandLine(QCommandLineParser &parser, CliContext &context, const QStringList &arguments,
                      int minPositional, int maxPositional);

// Whether tallowpen.db is in the program folder; prints what to do when not.
bool programStoreExists(CliContext &context);
// Opens the program folder's store for a command; prints why not on failure.
bool openProgramStore(Database &db, CliContext &context);
// The opening of a command that checks nothing before it needs the store:
// both of the above in turn; the Stop when either fails.
std::optional<Stop> parseAndOpenStore(QCommandLineParser &parser, Database &db, CliContext &context,
                                      const QStringList &arguments, int minPositional, int maxPositional);

// A script table's name (battling_arena, battle_script or field); prints the
// usage error when `word` is none of them.
bool checkTableName(CliContext &context, const QString &word);
