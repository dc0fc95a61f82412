#include "app/translatedimportcontroller.h"

#include "ui/messages.h"
#include "scripts/translatedimport.h"
#include "store/widgets/scripttree.h"

#include <QPlainTextEdit>

using namespace Qt::StringLiterals;

TranslatedImportController::TranslatedImportController(const ImportControls &controls, Database &db,
                                                       QObject *parent)
    : QObject(parent)
    , m_c(controls)
    , m_db(db)
{
}

void TranslatedImportController::importTranslations()
{
    ImportRun run(m_c);
    const QString base = run.openScriptFolder({u"Disable first 'Automatic save' please"_s,
                                               [this](ImportRun &) {
                                                   m_c.translation->clear();
                                                   m_c.original->clear();
                                                   return true;
                                               },
                                               true});
    if (base.isEmpty())
        return;
    const TranslatedImport::Report report = TranslatedImport::run(m_db, base, run.pacer());
    if (ScriptTreeModel *tree = ScriptTree::model(*m_c.tree); tree && tree->isBuilt())
        ScriptTree::clearTree(*m_c.tree);
    emit scriptsChanged();
    // lblMsg shows only the last folder's outcome; the reasons of every
    // folder that stopped are worth a box, since each names its file and line.
    if (!report.failures.isEmpty())
        Messages::inform(m_c.window, TranslatedImport::FolderFailed + u"\r\n"_s + report.failures.join(u"\r\n"_s));
}
