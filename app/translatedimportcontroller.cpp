#include "app/translatedimportcontroller.h"

#include "app/importrun.h"
#include "app/mainwindow.h"
#include "app/treecontroller.h"
#include "app/ui/folderpicker.h"
#include "app/ui/messages.h"
#include "scripts/originalimport.h"
#include "scripts/translatedimport.h"
#include "store/widgets/scripttree.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>
#include <QTreeView>

using namespace Qt::StringLiterals;

TranslatedImportController::TranslatedImportController(MainWindow &window)
    : QObject(&window)
    , m_window(window)
{
    window.setCommand(Command::ImportTranslated, [this] { importTranslations(); });
}

void TranslatedImportController::importTranslations()
{
    auto &c = m_window.controls();
    if (c.mnuAutoGuar->isChecked()) {
        Messages::inform(&m_window, u"Disable first 'Automatic save' please"_s);
        return;
    }

    ImportRun run(m_window);
    c.rtxtTranslated->clear();
    c.rtxtOriginal->clear();
    c.lblMsg->clear();
    run.disableControls();
    c.mnuView->setEnabled(true); // the view stays at hand; with the editors empty it shows nothing

    const QString chosen = FolderPicker::BrowseFolder(&m_window, u"Scripts Folder"_s);
    if (chosen.isEmpty())
        return;
    c.txtPath->setText(chosen);
    const QString base = c.txtPath->text();
    if (!OriginalImport::isScriptFolder(base)) {
        Messages::inform(&m_window, OriginalImport::InvalidFolder);
        return;
    }

    const TranslatedImport::Report report = TranslatedImport::run(m_window.db(), base, run.pacer());
    if (ScriptTreeModel *tree = ScriptTree::model(*c.Scripts); tree && tree->isBuilt())
        ScriptTree::clearTree(*c.Scripts);
    TreeController::rebuildTree(m_window);
    // lblMsg shows only the last folder's outcome; the reasons of every
    // folder that stopped are worth a box, since each names its file and line.
    if (!report.failures.isEmpty())
        Messages::inform(&m_window, report.failures.join(u"\r\n"_s));
}
