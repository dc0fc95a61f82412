#pragma once

#include <QObject>

class frmMain;

// mnuSearch: opens the search window modally over the main window; a click
// on a hit opens its block in the main window's tree.
class SearchController : public QObject
{
    Q_OBJECT

public:
    explicit SearchController(frmMain &window);

    void mnuSearch_Click();

private:
    frmMain &m_window;
};
