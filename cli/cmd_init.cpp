#include "cli/commands.h"

#include "store/layout.h"
#include "files/programfolder.h"

#include <QCommandLineParser>
#include <QDir>

using namespace Qt::StringLiterals;

int runInit(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    if (!parseCommandLine(parser, context, arguments, 0, 0))
        return ExitUsage;
    if (!QDir().mkpath(context.programFolder))
        return context.fail(u"Cannot create the program folder %1."_s.arg(context.programFolder));
    const QString path = programPath(context.programFolder, StoreFileName);
    if (const Result<Done> made = createStore(path); !made)
        return context.fail(made.error().message);
    context.out << u"Created %1"_s.arg(QDir::toNativeSeparators(path)) << Qt::endl;
    // The font the editor's first start would install, so the preview is on at once.
    const QString font = defaultFontPath(programFolderFacts());
    if (font.isEmpty()) {
        context.err << u"No default font was found beside the program; put a font.bmp into %1 for the preview."_s.arg(
                           QDir::toNativeSeparators(programPath(context.programFolder, u"font"_s)))
                    << Qt::endl;
    } else if (const Result<Done> prepared = prepareUserDataFolder(context.programFolder, font); !prepared) {
        return context.fail(prepared.error().message);
    }
    return ExitSuccess;
}
