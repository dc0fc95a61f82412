#include "app/importcontroller.h"

#include "ui/messages.h"
#include "scripts/originalimport.h"
#include "scripts/originalupdate.h"
#include "store/widgets/scripttree.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

using namespace Qt::StringLiterals;

namespace {

// The original import's refusal; the update of the originals gives the same.
const QString AutomaticSaveFirst = u"First disable 'Automatic save' please"_s;

} // namespace

ImportController::ImportController(const ImportControls &controls, Database &db, QObject *parent)
    : QObject(parent)
    , m_c(controls)
    , m_db(db)
{
    m_updateAction = new QAction(u"Update Originals..."_s, this);
    m_updateAction->setObjectName(u"updateOriginalsAction"_s);
    connect(m_updateAction, &QAction::triggered, this, &ImportController::updateOriginals);
}

void ImportController::updateOriginals()
{
    ImportRun run(m_c);
    const QString base = run.openScriptFolder({AutomaticSaveFirst, [this](ImportRun &frame) {
                                                   // The open block may change or go: what was typed is kept first.
                                                   emit saveRequested();
                                                   frame.clearEditors();
                                                   return true;
                                               }});
    if (base.isEmpty()) {
        emit scriptsChanged();
        return;
    }
    const Result<OriginalUpdate::Outcome> result = OriginalUpdate::updateOriginals(m_db, base, run.pacer(), false);
    run.finish();
    m_c.status->setText(result ? OriginalUpdate::summary(*result) : result.error().message);
    emit scriptsChanged();
    if (!result)
        Messages::inform(m_c.window, result.error().message);
}

void ImportController::importOriginals()
{
    ImportRun run(m_c);
    bool replacing = false;
    const QString base = run.openScriptFolder({AutomaticSaveFirst,
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
    const OriginalImport::Result result = importer.run();
    // After a failure too: the files before it are in the store, or the
    // store is back as it was.
    emit scriptsChanged();
    const OriginalImport::Imported &done = result ? *result : result.error().done;
    if (const QString line = OriginalImport::duplicatesLine(done.duplicates); !line.isEmpty())
        m_c.status->setText(m_c.status->text() + u'\n' + line);
}

// Asks before the scripts already imported go; false when they stay. They
// go only with the import that replaces them, after the folder is checked.
bool ImportController::askToReplace(ImportRun &run, bool &replacing)
{
    Failure error;
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
