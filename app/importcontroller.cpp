#include "app/importcontroller.h"

#include "ui/messages.h"
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
    bool replacing = false;
    const QString base = run.openScriptFolder({u"First disable 'Automatic save' please"_s,
                                               [&](ImportRun &frame) { return askToReplace(frame, replacing); }});
    if (base.isEmpty()) {
        // Nothing was deleted: the tree emptied after the question comes back.
        if (replacing)
            emit scriptsChanged();
        return;
    }
    OriginalImport::Importer importer(m_db, base, run.pacer(),
                                      replacing ? OriginalImport::Importer::Mode::Replace
                                                : OriginalImport::Importer::Mode::Add);
    importer.run();
    // After a failure too: the files before it are in the store, or the
    // store is back as it was.
    emit scriptsChanged();
}

// Asks before the scripts already imported go; false when they stay. They
// go only with the import that replaces them, after the folder is checked.
bool ImportController::askToReplace(ImportRun &run, bool &replacing)
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
    replacing = true;
    run.disableControls();
    run.clearEditors();
    if (ScriptTreeModel *tree = ScriptTree::model(*m_c.tree); tree && tree->isBuilt())
        ScriptTree::clearTree(*m_c.tree);
    return true;
}
