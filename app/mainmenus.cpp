#include "app/mainwindow.h"

#include <QAction>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>

using namespace Qt::StringLiterals;

// The menus: their entries are made before the features that use them, and
// placed after every feature has made its own, all in one list, so that no
// menu's order follows the order the features were built in.

namespace {

template<typename T>
T *named(T *object, const char *name)
{
    object->setObjectName(QLatin1StringView(name));
    return object;
}

QMenu *menu(const QString &title, const char *name, QWidget *parent)
{
    return named(new QMenu(title, parent), name);
}

// A null entry is a separator; a submenu is placed by its menu action.
void place(QMenu &menu, const QList<QAction *> &entries)
{
    for (QAction *entry : entries) {
        if (entry)
            menu.addAction(entry);
        else
            menu.addSeparator();
    }
}

} // namespace

QAction *MainWindow::commandAction(const char *name, const QString &caption, Command command,
                                   const QKeySequence &shortcut)
{
    auto *action = named(new QAction(caption, this), name);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
    return action;
}

void MainWindow::buildCommandActions()
{
    auto &c = m_c;
    c.translationMenu = menu(u"Translation"_s, "mnuTradu", this);
    c.saveAction = commandAction("mnuGuardar", u"Save"_s, Command::Save, QKeySequence(u"Ctrl+G"_s));
    c.automaticSaveAction = commandAction("mnuAutoGuar", u"Automatic Save"_s, Command::ToggleAutoSave,
                                          QKeySequence(u"Ctrl+Shift+G"_s));
    c.automaticSaveAction->setCheckable(true);
    c.automaticSaveAction->setChecked(true);
    c.exitAction = commandAction("mnuSalir", u"Exit"_s, Command::Exit, QKeySequence(u"Ctrl+Z"_s));

    c.editMenu = menu(u"Edit"_s, "mnuEd", this);
    c.cleanAction = commandAction("mnuEliminar", u"Clean"_s, Command::Clean, QKeySequence(u"Ctrl+L"_s));
    c.cloneAction = commandAction("mnuClonar", u"Clone"_s, Command::Clone, QKeySequence(u"Ctrl+D"_s));
    c.checkSpellAction = commandAction("mnuRevisar", u"Check Spell"_s, Command::CheckSpell, QKeySequence(u"Ctrl+O"_s));
    c.searchAction = commandAction("mnuSearch", u"Search"_s, Command::Search, QKeySequence(u"Ctrl+F"_s));

    c.viewMenu = menu(u"View"_s, "mnuViewMain", this);
    c.viewScriptAction = commandAction("mnuView", u"View Translated Script"_s, Command::ViewScript,
                                       QKeySequence(Qt::Key_F11));
    c.viewLinksAction = commandAction("mnuLinks", u"View links"_s, Command::ViewLinks, QKeySequence(u"Ctrl+P"_s));
    c.controlLinesMenu = menu(u"Show Control Lines"_s, "mnuLines", this);
    c.guide28Action = commandAction("mnu28", u"28 chrs line"_s, Command::Guide28, QKeySequence(Qt::Key_F7));
    c.guide32Action = commandAction("mnu32", u"32 chrs line"_s, Command::Guide32, QKeySequence(Qt::Key_F8));
    for (QAction *guide : {c.guide28Action, c.guide32Action}) {
        guide->setCheckable(true);
        guide->setChecked(true);
    }

    c.toolsMenu = menu(u"Tools"_s, "mnuTools", this);
    c.importMenu = menu(u"Import Script"_s, "mnuImportar", this);
    c.importOriginalAction = commandAction("mnuImpOri", u"Original"_s, Command::ImportOriginal,
                                           QKeySequence(u"Ctrl+Shift+O"_s));
    c.importTranslatedAction = commandAction("mnuImpTra", u"Translated"_s, Command::ImportTranslated,
                                             QKeySequence(u"Ctrl+Shift+T"_s));
    c.importLinksAction = commandAction("mnuVinculos", u"Import Links File"_s, Command::ImportLinks,
                                        QKeySequence(u"Ctrl+Shift+K"_s));
    c.exportMenu = menu(u"Export Scripts"_s, "mnuExportar", this);
    c.exportTranslatedAction = commandAction("mnuExpTra", u"Translated"_s, Command::ExportTranslated,
                                             QKeySequence(Qt::Key_F9));

    c.insertMenu = menu(u"Insert"_s, "mnuInsertar", this);
    c.insertNewAction = commandAction("mnuNew", u"<New>"_s, Command::InsertNew, QKeySequence(Qt::Key_F1));
    c.insertWaitAction = commandAction("mnuWait", u"<Wait>"_s, Command::InsertWait, QKeySequence(Qt::Key_F2));
    c.insertDelayAction = commandAction("mnuDelay", u"<Delay X>"_s, Command::InsertDelay, QKeySequence(Qt::Key_F3));
    c.insertSpaceAction = commandAction("mnuSpace", u"<Space X>"_s, Command::InsertSpace, QKeySequence(Qt::Key_F4));
    c.insertOpcodeAction = commandAction("mnuOpcode", u"<Opcode X X>"_s, Command::InsertOpcode,
                                         QKeySequence(Qt::Key_F5));
    c.insertCloseAction = commandAction("mnuClose", u"<Close><End of Block>"_s, Command::InsertClose,
                                        QKeySequence(Qt::Key_F6));

    c.helpMenu = menu(u"Help"_s, "mnuAyuda", this);
    c.aboutAction = commandAction("mnuAcerca", u"About..."_s, Command::About, QKeySequence(Qt::Key_F12));

    // Pop-up menus of the translated editor; they never join the menu bar.
    c.linkMenu = menu(u"DropDownMenu"_s, "mnuDropDown", this);
    c.modifyLinkAction = named(c.linkMenu->addAction(u"Modify link"_s), "mnuModificar");
    c.eraseLinkAction = named(c.linkMenu->addAction(u"Erase link"_s), "mnuErase");
    c.suggestionSeparator = named(c.linkMenu->addSeparator(), "mnuSeparator");
    for (size_t i = 0; i < c.suggestionActions.size(); ++i) {
        QAction *suggestion = c.linkMenu->addAction(QString());
        suggestion->setObjectName(u"mnuSuggest_%1"_s.arg(i));
        suggestion->setVisible(false);
        c.suggestionActions[i] = suggestion;
    }
    c.addLinkMenu = menu(QString(), "mnuMante", this);
    c.addLinkAction = named(c.addLinkMenu->addAction(u"Add"_s), "mnuAgregar");
}

void MainWindow::buildMenus(const FeatureEntries &f)
{
    const MainControls &c = m_c;
    QAction *const separator = nullptr;
    place(*c.translationMenu, {c.saveAction, c.automaticSaveAction, c.exitAction});
    place(*c.editMenu, QList<QAction *>{c.cleanAction, c.cloneAction, c.checkSpellAction, c.searchAction, separator,
                                        f.undoBatch, f.replace, separator}
                           + f.moves);
    place(*c.controlLinesMenu, {c.guide28Action, c.guide32Action});
    place(*c.viewMenu, {c.viewScriptAction, c.viewLinksAction, c.controlLinesMenu->menuAction(),
                        f.zoom->menuAction()});
    place(*c.importMenu, {c.importOriginalAction, c.importTranslatedAction});
    place(*c.exportMenu, {c.exportTranslatedAction});
    place(*c.toolsMenu, QList<QAction *>{c.importMenu->menuAction(), c.importLinksAction, c.exportMenu->menuAction(),
                                         separator, c.memoryDock->toggleViewAction(), f.statistics,
                                         f.updateOriginals, f.checks, separator}
                            + f.keeping
                            + QList<QAction *>{separator, f.fit, f.fitOverflowing->menuAction(), separator,
                                               f.exportForTranslation, f.importTranslationFile, separator,
                                               f.teamServer, f.takeNext});
    place(*c.insertMenu, {c.insertNewAction, c.insertWaitAction, c.insertDelayAction, c.insertSpaceAction,
                          c.insertOpcodeAction, c.insertCloseAction});
    place(*c.helpMenu, {c.aboutAction});

    for (QMenu *menu : {c.translationMenu, c.editMenu, c.viewMenu, c.toolsMenu, c.insertMenu, c.helpMenu})
        menuBar()->addMenu(menu);
}
