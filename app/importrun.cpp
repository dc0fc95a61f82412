#include "app/importrun.h"

#include "app/mainwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTextEdit>
#include <QToolBar>
#include <QTreeView>

#include <functional>

ImportRun::ImportRun(MainWindow &window)
    : m_window(window)
    , m_pacer(this)
{
}

ImportRun::~ImportRun()
{
    finish();
}

void ImportRun::disableControls()
{
    if (m_controlsDisabled)
        return;
    m_controlsDisabled = true;
    auto &c = m_window.controls();
    c.tool->setEnabled(false);
    c.Scripts->setEnabled(false);

    auto take = [this](QAction *action) {
        m_disabled.emplace_back(action, action->isEnabled());
        action->setEnabled(false);
    };
    take(c.mnuSalir);
    take(c.mnuView);
    // A greyed menu title still lets its entries' shortcut keys through, so
    // the entries are greyed as well.
    std::function<void(QMenu *)> takeMenu = [&](QMenu *menu) {
        take(menu->menuAction());
        for (QAction *action : menu->actions()) {
            if (action->menu())
                takeMenu(action->menu());
            else if (!action->isSeparator())
                take(action);
        }
    };
    for (QMenu *menu : {c.mnuTools, c.mnuTradu, c.mnuEd, c.mnuInsertar})
        takeMenu(menu);

    c.prgWork->setRange(0, 0); // busy until the files are counted
    c.prgWork->show();
}

void ImportRun::clearEditors()
{
    auto &c = m_window.controls();
    c.rtxtTranslated->clear();
    c.rtxtOriginal->clear();
    c.rtxtTranslated->setEnabled(false);
    c.rtxtOriginal->setEnabled(false);
    c.txtComentario->clear();
    c.txtComentario->setEnabled(false);
    c.chkRevised->setChecked(false);
    c.chkRevised->setEnabled(false);
}

void ImportRun::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    if (!m_controlsDisabled)
        return; // asked and answered No: nothing was taken
    auto &c = m_window.controls();
    c.rtxtTranslated->setEnabled(true);
    c.rtxtOriginal->setEnabled(true);
    c.tool->setEnabled(true);
    c.Scripts->setEnabled(true);
    // Last taken, first given back: an entry taken twice ends as it began.
    for (auto it = m_disabled.rbegin(); it != m_disabled.rend(); ++it) {
        if (it->first)
            it->first->setEnabled(it->second);
    }
    m_disabled.clear();
    updateBar();
    c.prgWork->hide();
}

void ImportRun::showText(const QString &text)
{
    m_window.controls().lblMsg->setText(text);
}

void ImportRun::showFiles(int done, int total)
{
    // The bar repaints itself at once on every change: it moves when the
    // window breathes, not once per file.
    m_filesDone = done;
    m_filesTotal = total;
}

void ImportRun::updateBar()
{
    if (m_filesTotal < 0)
        return;
    QProgressBar *bar = m_window.controls().prgWork;
    bar->setRange(0, qMax(m_filesTotal, 1));
    bar->setValue(m_filesDone);
}

void ImportRun::breathe()
{
    updateBar();
    QCoreApplication::processEvents();
}
