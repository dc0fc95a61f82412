#include "app/mainwindow.h"
#include "app/windowsettings.h"
#include "app/splashscreen.h"
#include "app/teamserver.h"
#include "project/openstore.h"
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

    const QString server = chosenServerAddress(
        parser.isSet(serverOption) ? std::optional(parser.value(serverOption)) : std::nullopt,
        TeamServer::savedAddress());
    const ProgramFolder folder = locateProgramFolder(parser.value(homeOption));
    std::unique_ptr<ProjectStore> serverStore;
    if (!server.isEmpty()) {
        // Connected before the window shows, within the connection's timeout;
        // a store that cannot be had ends the program with the server's reason.
        Result<std::unique_ptr<ProjectStore>> store = openProjectStore(folder.path, server);
        if (!store) {
            // The address may come from the settings, which only a running
            // editor can change: the program folder's store is offered instead.
            const QString text = store.error().message
                + u"\n\nWork on tallowpen.db in the program folder this time? (Tools, Team Server… changes the "
                  "address for later starts.)"_s;
            fprintf(stderr, "%s\n", qPrintable(store.error().message));
            if (Messages::askYesNo(nullptr, text) != Messages::Answer::Yes)
                return 1;
        } else {
            serverStore = std::move(*store);
        }
    }

    addMnemonicsToEveryDialog(app);
    MainWindow window(folder.path, nullptr, std::move(serverStore));
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
