#pragma once

#include <QObject>

class frmMain;

// The main window's ways out for translated scripts: the export window
// (mnuExpTra) and the view of the open block's script (mnuView, toolbar 11).
//
// Thread contract: GUI thread.
class ExportController : public QObject
{
    Q_OBJECT

public:
    explicit ExportController(frmMain &window);

    void mnuExpTra_Click();
    // Does nothing while no block is loaded (rtxtOriginal empty).
    void mnuView_Click();

private:
    frmMain &m_window;
};
