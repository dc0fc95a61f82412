#include "cli/commands.h"
#include "cli/jsonline.h"
#include "cli/teamcommands.h"

#include "server/changefeed.h"

#include <QCommandLineParser>
#include <QDeadlineTimer>
#include <QThread>

using namespace Qt::StringLiterals;

// One line per change committed anywhere, as it happens, until --for runs
// out (or for ever). A lost connection is made again and what was missed
// is printed from the change sequence.
int runWatch(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption duration(u"for"_s, u"Stop after this many seconds."_s, u"SECONDS"_s);
    parser.addOption(duration);
    if (!parseCommandLine(parser, context, arguments, 0, 0))
        return ExitUsage;
    QDeadlineTimer deadline(QDeadlineTimer::Forever);
    if (parser.isSet(duration)) {
        bool number = false;
        const double seconds = parser.value(duration).toDouble(&number);
        if (!number || seconds <= 0)
            return context.usage(u"--for takes a number of seconds greater than 0."_s);
        deadline.setRemainingTime(qint64(seconds * 1000));
    }
    Result<ChangeFeed> feed = ChangeFeed::open(context.server);
    if (!feed)
        return context.fail(feed.error().message);
    bool lost = false;
    while (!deadline.hasExpired()) {
        // A second at most per wait, so that an endless watch still notices
        // the deadline and a lost server is tried again every second.
        const int slice = int(std::min<qint64>(deadline.remainingTime(), 1000));
        Result<std::vector<BlockChange>> changes = feed->wait(slice);
        if (!changes) {
            if (!lost)
                context.err << changes.error().message << u" Trying again every second."_s << Qt::endl;
            lost = true;
            QThread::msleep(ulong(std::min<qint64>(deadline.remainingTime(), 1000)));
            continue;
        }
        lost = false;
        for (const BlockChange &change : *changes) {
            context.out << JsonLine()
                               .add("seq", change.seq)
                               .add("table", change.table)
                               .add("file_name", change.fileName)
                               .add("dialogue_id", change.dialogueId)
                               .add("version", change.version)
                               .add("user", change.user)
                               .add("time", change.time)
                               .toString()
                        << Qt::endl;
        }
    }
    return lost ? ExitFailure : ExitSuccess;
}
