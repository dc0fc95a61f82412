#include "app/mainwindow.h"
#include "app/windowsettings.h"
#include "app/splashscreen.h"
#include "ui/mnemonics.h"
#include "store/programfolder.h"

#include <QApplication>
#include <QCommandLineParser>

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
    parser.addOption(homeOption);
    parser.addOption(noSplashOption);
    parser.process(app);

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
