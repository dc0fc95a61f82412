#include "app/importcontroller.h"

#include "app/ui/messages.h"
#include "scripts/originalimport.h"
#include "store/widgets/scripttree.h"

#include <QLabel>

using namespace Qt::StringLiterals;

ImportController::ImportController(const ImportControls &controls, Database &db, QObject *parent)
    : QObject(parent)
    , m_c(controls)
    , m_db(db)
{
}

void ImportController::importOriginals()
{
    ImportRun run(m_c);
    const QString base = run.openScriptFolder({u"First disable 'Automatic save' please"_s,
                                               [this](ImportRun &frame) { return emptyStore(frame); }});
    if (base.isEmpty())
        return;
    OriginalImport::Importer importer(m_db, base, run.pacer());
    importer.run();
    // After a failure too: the files before it are in the store.
    emit scriptsChanged();
}

// Asks before the scripts already imported go; false when they stay.
bool ImportController::emptyStore(ImportRun &run)
{
    StoreError error;
    const std::optional<qint64> existing = OriginalImport::existingScriptRows(m_db, &error);
    if (!existing) {
        m_c.status->setText(u"Import stopped: "_s + error.message);
        return false;
    }
    if (*existing == 0)
        return true;
    if (Messages::askWarning(m_c.window, OriginalImport::Question) != Messages::Answer::Yes)
        return false;
    run.disableControls();
    run.clearEditors();
    if (ScriptTreeModel *tree = ScriptTree::model(*m_c.tree); tree && tree->isBuilt())
        ScriptTree::clearTree(*m_c.tree);
    if (!OriginalImport::deleteOriginals(m_db, run.pacer(), &error)) {
        // Rolled back: the store is whole again, and so is its tree.
        m_c.status->setText(u"Import stopped: "_s + error.message);
        emit scriptsChanged();
        return false;
    }
    return true;
}
