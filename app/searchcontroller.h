#pragma once

#include <QObject>

class MainWindow;

// mnuSearch: opens the search window modally over the main window; a click
// on a hit opens its block in the main window's tree.
class SearchController : public QObject
{
    Q_OBJECT

public:
    explicit SearchController(MainWindow &window);

    void openSearch();

private:
    MainWindow &m_window;
};
