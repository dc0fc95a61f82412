#pragma once

#include <QObject>
#include <QString>

class ExportWindow;
class ProjectStore;
class QTextEdit;
class QTreeView;
class QWidget;

// The main window's ways out for translated scripts: the export window
// (mnuExpTra) and the view of the open block's script (mnuView, toolbar 11).
//
// Thread contract: GUI thread.
class ExportController : public QObject
{
    Q_OBJECT

public:
    // The export writes under `programFolder`; both windows open `storePath`.
    ExportController(QTextEdit &original, QTreeView &tree, const QString &programFolder, const QString &storePath,
                     QWidget &window, ProjectStore *server = nullptr);

    void openExport();
    // Does nothing while no block is loaded (rtxtOriginal empty).
    void openScriptView();

signals:
    // Before the export window shows: the checks put themselves around it.
    void exportWindowOpened(ExportWindow &window);

private:
    QTextEdit &m_original;
    QTreeView &m_tree;
    QString m_programFolder;
    QString m_storePath;
    ProjectStore *m_server; // a team server's store, read for the view
    QWidget &m_window;
};
