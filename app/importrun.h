#pragma once

#include "scripts/importprogress.h"

#include <QPointer>
#include <QString>

#include <array>
#include <functional>
#include <vector>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QTextEdit;
class QToolBar;
class QTreeView;
class QWidget;

// The main window's controls an import greys, empties and reports to.
struct ImportControls
{
    QWidget *window;              // owns the message boxes and the folder picker
    QToolBar *toolbar;            // tool
    QTreeView *tree;              // Scripts
    QAction *exitEntry;           // mnuSalir
    QAction *viewEntry;           // mnuView
    std::array<QMenu *, 4> menus; // mnuTools, mnuTradu, mnuEd, mnuInsertar
    QAction *automaticSave;       // mnuAutoGuar
    QLineEdit *path;              // txtPath
    QLabel *status;               // lblMsg
    QProgressBar *progress;       // progressBar
    QTextEdit *original;          // rtxtOriginal
    QPlainTextEdit *translation;  // rtxtTranslated
    QPlainTextEdit *comment;      // txtComentario
    QCheckBox *revised;           // chkRevised
};

class ImportRun;

// How an import opens; the two imports differ only in these.
struct ImportOpening
{
    QString automaticSaveRefusal; // the message while automatic save is on
    // The import's own steps before the folder picker; false stops it.
    std::function<bool(ImportRun &run)> prepare;
    bool viewStaysEnabled = false; // mnuView stays at hand while it runs
};

// The frame any import runs in inside the main window: the toolbar, the tree
// and the menus disabled while it works, progress texts in lblMsg, the bar
// progressBar beside it counting files, and the window kept alive (repainted and
// taking input, every ~30 ms) while the controls keep other commands out.
// Leaving the scope (or finish()) enables everything again.
//
// Both imports use it: construct one, openScriptFolder(), run the
// widget-free import with pacer(), then let it go out of scope.
class ImportRun : public ImportProgress
{
public:
    explicit ImportRun(const ImportControls &controls);
    ~ImportRun() override;
    ImportRun(const ImportRun &) = delete;
    ImportRun &operator=(const ImportRun &) = delete;

    // The opening both imports share: refused while automatic save is on,
    // then the import's own preparation, the controls greyed, lblMsg emptied,
    // and the scripts folder picked (into txtPath) and checked. The folder;
    // empty when the import stops here, the user told why where it matters.
    QString openScriptFolder(const ImportOpening &opening);

    // `tool`, `Scripts` and the menus mnuSalir, mnuTools, mnuTradu, mnuEd,
    // mnuInsertar and mnuView. Calling it again changes nothing.
    void disableControls();
    // Empties rtxtTranslated and rtxtOriginal and disables them; the block
    // they showed is about to go. The comment and "Revised" go with it.
    void clearEditors();
    // Enables rtxtTranslated, rtxtOriginal and everything disableControls()
    // took, hides the bar. Runs once; the destructor calls it.
    void finish();

    ProgressPacer &pacer() { return m_pacer; }

    void showText(const QString &text) override;
    void showFiles(int done, int total) override;
    void breathe() override;

private:
    void updateBar();

    ImportControls m_c;
    ProgressPacer m_pacer;
    // Actions disabled here with the state they had, so that entries greyed
    // for their own reasons (Save under automatic save) stay greyed.
    std::vector<std::pair<QPointer<QAction>, bool>> m_disabled;
    int m_filesDone = 0;
    int m_filesTotal = -1; // not counted yet: the bar stays busy
    bool m_controlsDisabled = false;
    bool m_finished = false;
};
