#pragma once

#include <QObject>

class MainWindow;

// The script tree and the status line of the main window: puts the tree
// model on `Scripts`, builds the tree and shows the translation status when
// start-up finds blocks, and rebuilds the tree for the imports.
class TreeController : public QObject
{
    Q_OBJECT

public:
    explicit TreeController(MainWindow &window);

    // buildTree on the window's tree. A clash the build met is added to
    // lblMsg on a line of its own, so the text above it stays as it was.
    static void rebuildTree(MainWindow &window);

private:
    void showStore();

    MainWindow &m_window;
};
