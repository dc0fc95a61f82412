#include "cli/commands.h"

#include "store/layout.h"
#include "files/programfolder.h"
#include "server/serverstore.h"

#include <QCommandLineParser>
#include <QDir>

using namespace Qt::StringLiterals;

namespace {

// The font the editor's first start would install, so the preview is on at once.
int installFont(CliContext &context)
{
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

} // namespace

int runInit(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    if (!parseCommandLine(parser, context, arguments, 0, 0))
        return ExitUsage;
    if (!QDir().mkpath(context.programFolder))
        return context.fail(u"Cannot create the program folder %1."_s.arg(context.programFolder));
    // On a server the folder still holds the font, the exports and the
    // backups, but no store: a tallowpen.db made there would never be read.
    // The store is the server's, set up once by server-init; init says
    // whether it is there, in the server's own words when it is not.
    if (!context.server.isEmpty()) {
        if (const int font = installFont(context); font != ExitSuccess)
            return font;
        Result<ServerStore> server = ServerStore::open(context.server);
        if (!server)
            return context.fail(server.error().message);
        context.out << u"The store is the server's: %1"_s.arg(server->where()) << Qt::endl;
        return ExitSuccess;
    }
    const QString path = programPath(context.programFolder, StoreFileName);
    if (const Result<Done> made = createStore(path); !made)
        return context.fail(made.error().message);
    context.out << u"Created %1"_s.arg(QDir::toNativeSeparators(path)) << Qt::endl;
    return installFont(context);
}
