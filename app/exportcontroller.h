#pragma once

#include <QObject>

class ExportWindow;
class MainWindow;

// The main window's ways out for translated scripts: the export window
// (mnuExpTra) and the view of the open block's script (mnuView, toolbar 11).
//
// Thread contract: GUI thread.
class ExportController : public QObject
{
    Q_OBJECT

public:
    explicit ExportController(MainWindow &window);

    void openExport();
    // Does nothing while no block is loaded (rtxtOriginal empty).
    void openScriptView();

signals:
    // Before the export window shows: the checks put themselves around it.
    void exportWindowOpened(ExportWindow &window);

private:
    MainWindow &m_window;
};
