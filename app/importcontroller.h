#pragma once

#include <QObject>

class MainWindow;

// Tools > Import Script > Original: empties the store after asking, lets
// the user pick the scripts folder, imports it and rebuilds the tree.
class ImportController : public QObject
{
    Q_OBJECT

public:
    explicit ImportController(MainWindow &window);

    void importOriginals();

private:
    MainWindow &m_window;
};
