#pragma once

#include "scripts/importprogress.h"

#include <QPointer>

#include <vector>

class QAction;
class MainWindow;

// The frame any import runs in inside the main window: the toolbar, the tree
// and the menus disabled while it works, progress texts in lblMsg, the bar
// prgWork beside it counting files, and the window kept alive (repainted and
// taking input, every ~30 ms) while the controls keep other commands out.
// Leaving the scope (or finish()) enables everything again.
//
// Both imports use it: construct one, call disableControls() (and
// clearEditors() where the import empties them), run the widget-free import
// with pacer(), then finish() or let it go out of scope.
class ImportRun : public ImportProgress
{
public:
    explicit ImportRun(MainWindow &window);
    ~ImportRun() override;
    ImportRun(const ImportRun &) = delete;
    ImportRun &operator=(const ImportRun &) = delete;

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

    MainWindow &m_window;
    ProgressPacer m_pacer;
    // Actions disabled here with the state they had, so that entries greyed
    // for their own reasons (Save under automatic save) stay greyed.
    std::vector<std::pair<QPointer<QAction>, bool>> m_disabled;
    int m_filesDone = 0;
    int m_filesTotal = -1; // not counted yet: the bar stays busy
    bool m_controlsDisabled = false;
    bool m_finished = false;
};
