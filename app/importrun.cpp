#include "app/importrun.h"

#include "ui/folderpicker.h"
#include "ui/messages.h"
#include "scripts/originalimport.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTextEdit>
#include <QToolBar>
#include <QTreeView>

using namespace Qt::StringLiterals;

ImportRun::ImportRun(const ImportControls &controls)
    : m_c(controls)
    , m_pacer(this)
{
}

ImportRun::~ImportRun()
{
    finish();
}

QString ImportRun::openScriptFolder(const ImportOpening &opening)
{
    if (m_c.automaticSave->isChecked()) {
        Messages::inform(m_c.window, opening.automaticSaveRefusal);
        return {};
    }
    if (opening.prepare && !opening.prepare(*this))
        return {};
    disableControls();
    if (opening.viewStaysEnabled)
        m_c.viewEntry->setEnabled(true); // with the editors empty it shows nothing
    m_c.status->clear();

    const QString chosen = FolderPicker::BrowseFolder(m_c.window, u"Scripts Folder"_s);
    if (chosen.isEmpty())
        return {};
    m_c.path->setText(chosen);
    const QString base = m_c.path->text();
    if (const QString why = OriginalImport::folderProblem(base); !why.isEmpty()) {
        Messages::inform(m_c.window, why);
        return {};
    }
    return base;
}

void ImportRun::disableControls()
{
    if (m_controlsDisabled)
        return;
    m_controlsDisabled = true;
    m_c.toolbar->setEnabled(false);
    m_c.tree->setEnabled(false);

    auto take = [this](QAction *action) {
        m_disabled.emplace_back(action, action->isEnabled());
        action->setEnabled(false);
    };
    take(m_c.exitEntry);
    take(m_c.viewEntry);
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
    for (QMenu *menu : m_c.menus)
        takeMenu(menu);

    m_c.progress->setRange(0, 0); // busy until the files are counted
    m_c.progress->show();
}

void ImportRun::clearEditors()
{
    m_c.translation->clear();
    m_c.original->clear();
    m_c.translation->setEnabled(false);
    m_c.original->setEnabled(false);
    m_c.comment->clear();
    m_c.comment->setEnabled(false);
    m_c.revised->setChecked(false);
    m_c.revised->setEnabled(false);
}

void ImportRun::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    if (!m_controlsDisabled)
        return; // asked and answered No: nothing was taken
    m_c.translation->setEnabled(true);
    m_c.original->setEnabled(true);
    m_c.toolbar->setEnabled(true);
    m_c.tree->setEnabled(true);
    // Last taken, first given back: an entry taken twice ends as it began.
    for (auto it = m_disabled.rbegin(); it != m_disabled.rend(); ++it) {
        if (it->first)
            it->first->setEnabled(it->second);
    }
    m_disabled.clear();
    updateBar();
    m_c.progress->hide();
}

void ImportRun::showText(const QString &text)
{
    m_c.status->setText(text);
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
    m_c.progress->setRange(0, qMax(m_filesTotal, 1));
    m_c.progress->setValue(m_filesDone);
}

void ImportRun::breathe()
{
    updateBar();
    QCoreApplication::processEvents();
}
