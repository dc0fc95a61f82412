// tallowpen-screenshot: the main window as a user sees it after a click on a
// block, drawn offscreen into a PNG (the README's picture; tools/screenshot.sh
// makes the program folder it reads). The window is never closed, so neither
// the settings nor the block are written back.
#include "app/blockeditcontroller.h"
#include "app/mainwindow.h"
#include "project/openstore.h"
#include "ui/messages.h"
#include "store/widgets/scripttree.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QEventLoop>
#include <QTimer>
#include <QTreeView>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"tallowpen-screenshot"_s);

    QCommandLineParser parser;
    const QCommandLineOption homeOption(u"home"_s, u"The program folder."_s, u"DIR"_s);
    const QCommandLineOption blockOption(u"block"_s, u"The node to open, as table:file;number."_s, u"KEY"_s);
    const QCommandLineOption sizeOption(u"size"_s, u"The window's size."_s, u"WxH"_s, u"1200x760"_s);
    const QCommandLineOption outOption(u"out"_s, u"The PNG file to write."_s, u"FILE"_s);
    const QCommandLineOption serverOption(u"server"_s, u"A team server's store; else $TALLOWPEN_SERVER."_s, u"URI"_s);
    parser.addOptions({homeOption, blockOption, sizeOption, outOption, serverOption});
    parser.process(app);
    if (!parser.isSet(homeOption) || !parser.isSet(blockOption) || !parser.isSet(outOption)) {
        std::fprintf(stderr, "usage: tallowpen-screenshot --home DIR --block KEY --out FILE.png [--size WxH] [--server URI]\n");
        return 2;
    }
    const QStringList size = parser.value(sizeOption).split(u'x');
    // Nobody is there to answer a box offscreen: say it and take Cancel.
    Messages::setHandler([](QWidget *, const Messages::Message &message) {
        std::fprintf(stderr, "%s\n", qPrintable(message.text));
        return Messages::Answer::Cancel;
    });

    const QString home = parser.value(homeOption);
    const QString server = chosenServerAddress(
        parser.isSet(serverOption) ? std::optional(parser.value(serverOption)) : std::nullopt);
    std::unique_ptr<ProjectStore> serverStore;
    if (!server.isEmpty()) {
        Result<std::unique_ptr<ProjectStore>> store = openProjectStore(home, server);
        if (!store) {
            std::fprintf(stderr, "%s\n", qPrintable(store.error().message));
            return 1;
        }
        serverStore = std::move(*store);
    }
    MainWindow window(home, nullptr, std::move(serverStore));
    if (!window.load())
        return 1;
    window.resize(size.value(0).toInt(), size.value(1).toInt());
    window.show();
    auto *tree = window.findChild<QTreeView *>(u"Scripts"_s);
    if (!tree || !ScriptTree::selectKey(*tree, parser.value(blockOption))) {
        std::fprintf(stderr, "no node %s\n", qPrintable(parser.value(blockOption)));
        return 1;
    }
    window.findChild<BlockEditController *>()->openBlock(tree->currentIndex());
    // The preview and the checks follow the block on timers of their own.
    QEventLoop settle;
    QTimer::singleShot(500, &settle, &QEventLoop::quit);
    settle.exec();
    if (!window.grab().save(parser.value(outOption), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(parser.value(outOption)));
        return 1;
    }
    return 0;
}
