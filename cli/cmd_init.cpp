#include "cli/commands.h"

#include "store/layout.h"
#include "store/programfolder.h"

#include <QCommandLineParser>
#include <QDir>

using namespace Qt::StringLiterals;

int runInit(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    if (!parseCommandLine(parser, context, arguments, 0, 0))
        return ExitUsage;
    if (!QDir().mkpath(context.programFolder)) {
        context.err << u"Cannot create the program folder %1."_s.arg(context.programFolder) << Qt::endl;
        return ExitFailure;
    }
    const QString path = programPath(context.programFolder, StoreFileName);
    StoreError error;
    if (!createStore(path, &error)) {
        context.err << error.message << Qt::endl;
        return ExitFailure;
    }
    context.out << u"Created %1"_s.arg(QDir::toNativeSeparators(path)) << Qt::endl;
    return ExitSuccess;
}
