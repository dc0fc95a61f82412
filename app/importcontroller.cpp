#include "app/importcontroller.h"

#include "app/importrun.h"
#include "app/mainwindow.h"
#include "app/treecontroller.h"
#include "app/ui/folderpicker.h"
#include "app/ui/messages.h"
#include "scripts/originalimport.h"
#include "store/widgets/scripttree.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTreeView>

using namespace Qt::StringLiterals;

ImportController::ImportController(MainWindow &window)
    : QObject(&window)
    , m_window(window)
{
    window.setCommand(Command::ImportOriginal, [this] { importOriginals(); });
}

void ImportController::importOriginals()
{
    auto &c = m_window.controls();
    Database &db = m_window.db();
    if (c.mnuAutoGuar->isChecked()) {
        Messages::inform(&m_window, u"First disable 'Automatic save' please"_s);
        return;
    }

    StoreError error;
    const std::optional<qint64> existing = OriginalImport::existingScriptRows(db, &error);
    if (!existing) {
        c.lblMsg->setText(u"Import stopped: "_s + error.message);
        return;
    }

    ImportRun run(m_window);
    if (*existing > 0) {
        if (Messages::askWarning(&m_window, OriginalImport::Question) != Messages::Answer::Yes)
            return;
        run.disableControls();
        run.clearEditors();
        if (ScriptTreeModel *tree = ScriptTree::model(*c.Scripts); tree && tree->isBuilt())
            ScriptTree::clearTree(*c.Scripts);
        if (!OriginalImport::deleteOriginals(db, run.pacer(), &error)) {
            // Rolled back: the store is whole again, and so is its tree.
            c.lblMsg->setText(u"Import stopped: "_s + error.message);
            TreeController::rebuildTree(m_window);
            return;
        }
    }

    run.disableControls();
    c.lblMsg->clear();
    const QString chosen = FolderPicker::BrowseFolder(&m_window, u"Scripts Folder"_s);
    if (chosen.isEmpty())
        return;
    c.txtPath->setText(chosen);
    const QString base = c.txtPath->text();
    if (!OriginalImport::isScriptFolder(base)) {
        Messages::inform(&m_window, OriginalImport::InvalidFolder);
        return;
    }

    OriginalImport::Importer importer(db, base, run.pacer());
    importer.run();
    // After a failure too: the files before it are in the store.
    TreeController::rebuildTree(m_window);
}
