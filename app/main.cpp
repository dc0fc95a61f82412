#include "app/mainwindow.h"
#include "app/windowsettings.h"
#include "app/splashscreen.h"
#include "server/serverstore.h"
#include "ui/messages.h"
#include "ui/mnemonics.h"
#include "files/programfolder.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setApplicationIdentity();

    QCommandLineParser parser;
    parser.setApplicationDescription(u"Tallowpen, the Brassvale script translation editor."_s);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption homeOption(u"home"_s, u"Program folder holding tallowpen.db and font/font.bmp."_s,
                                        u"DIR"_s);
    const QCommandLineOption noSplashOption(u"no-splash"_s, u"Start without the five-second splash."_s);
    const QCommandLineOption serverOption(
        u"server"_s, u"The store in a PostgreSQL database (libpq URI or key=value words); else $TALLOWPEN_SERVER."_s,
        u"URI"_s);
    parser.addOption(homeOption);
    parser.addOption(noSplashOption);
    parser.addOption(serverOption);
    parser.process(app);

    const QString server =
        parser.isSet(serverOption) ? parser.value(serverOption) : qEnvironmentVariable("TALLOWPEN_SERVER");
    if (!server.isEmpty()) {
        // The windows work on the local store only so far: the address is
        // checked, then the editor says so rather than open the wrong store.
        Result<ServerStore> store = ServerStore::open(server);
        const QString text = store ? u"The editor does not open a server store yet (%1). Use tallowpen-cli --server "
                                      "for block, save, tree, status and search, or start the editor without "
                                      "--server and $TALLOWPEN_SERVER to work on the local store."_s.arg(
                                          store->connection().where())
                                   : store.error().message;
        fprintf(stderr, "%s\n", qPrintable(text));
        Messages::show(nullptr, {text, {}, Messages::Buttons::Ok, Messages::Icon::Critical});
        return 1;
    }

    addMnemonicsToEveryDialog(app);
    const ProgramFolder folder = locateProgramFolder(parser.value(homeOption));
    MainWindow window(folder.path);
    window.setProgramFolderNote(describeProgramFolder(folder));
    window.restoreWindowSettings();
    if (!parser.isSet(noSplashOption)) {
        SplashScreen splash(&window);
        splash.exec();
    }
    if (!window.load())
        return 1;
    window.show();
    return app.exec();
}
