#include "app/exchangecontroller.h"

#include "ui/filedialogs.h"
#include "ui/messages.h"
#include "exchange/po.h"
#include "exchange/translationimport.h"
#include "exchange/widgets/exportfortranslationdialog.h"
#include "exchange/xliff.h"
#include "store/layout.h"
#include "files/safefile.h"
#include "store/widgets/scripttree.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QProgressDialog>
#include <QTreeView>

using namespace Qt::StringLiterals;

ExchangeController::ExchangeController(const Controls &controls, Database &db, const QString &programFolder,
                                       QObject *parent)
    : QObject(parent)
    , m_c(controls)
    , m_db(db)
    , m_programFolder(programFolder)
{
    m_exportAction = new QAction(u"Export for Translation…"_s, this);
    m_exportAction->setObjectName(u"exportForTranslationAction"_s);
    connect(m_exportAction, &QAction::triggered, this, &ExchangeController::openExport);
    m_importAction = new QAction(u"Import Translation File…"_s, this);
    m_importAction->setObjectName(u"importTranslationFileAction"_s);
    connect(m_importAction, &QAction::triggered, this, &ExchangeController::chooseImport);
}

void ExchangeController::openExport()
{
    ExportForTranslationDialog dialog(m_db, m_programFolder, m_c.window);
    // The tree's selection names the folder or script the translator is in.
    const ScriptTreeModel *model = ScriptTree::model(*m_c.tree);
    const QModelIndex node = m_c.tree->currentIndex();
    const QString key = model ? model->key(node) : QString();
    if (const auto block = parseBlockKey(key))
        dialog.preselect(block->table, block->fileName);
    else if (ScriptTables::contains(key))
        dialog.preselect(key, {});
    else if (model && ScriptTables::contains(model->key(node.parent())))
        dialog.preselect(model->key(node.parent()), key);
    dialog.exec();
}

void ExchangeController::chooseImport()
{
    const QString path = FileDialogs::openFile(m_c.window, u"Import Translation File"_s, m_lastFolder,
                                               u"Translation files (*.xlf *.xliff *.po);;All files (*)"_s);
    if (path.isEmpty())
        return;
    m_lastFolder = QFileInfo(path).absolutePath();
    importFile(path);
}

void ExchangeController::importFile(const QString &path)
{
    const Result<QByteArray> read = SafeFile::readRegular(path);
    if (!read)
        return Messages::inform(m_c.window, u"%1 could not be read: %2"_s.arg(path, read.error().message));
    const QByteArray &bytes = *read;
    const bool po = path.endsWith(u".po"_s, Qt::CaseInsensitive);
    std::vector<ExchangeUnit> units;
    QString problem;
    if (po) {
        Result<PoRead> read = readPo(bytes);
        if (read)
            units = std::move(read->units);
        else
            problem = read.error().message;
    } else {
        Result<XliffRead> read = readXliff(bytes);
        if (read)
            units = std::move(read->units);
        else
            problem = read.error().message;
    }
    if (!problem.isEmpty())
        return Messages::inform(m_c.window, u"%1 could not be read as %2. %3 Nothing was imported."_s.arg(
                                                path, po ? u"PO"_s : u"XLIFF 1.2"_s, problem));
    const QString reason = po ? ImportPoReason : ImportXliffReason;
    emit saveRequested();
    const TranslationImport plan = importTranslations(m_db, units, reason, true);
    if (plan.failure)
        return Messages::inform(m_c.window, plan.failure->message);
    using Kind = TranslationImport::Kind;
    const QString passedOver = u"%1 blocks whose original has changed since the file was made and %2 not in the store "
                               "are left alone."_s.arg(plan.count(Kind::SourceChanged))
                                   .arg(plan.count(Kind::NoBlock));
    const int changing = plan.count(Kind::WouldSave);
    if (changing == 0)
        return Messages::inform(m_c.window, u"%1 changes no translation. "_s.arg(QFileInfo(path).fileName()) + passedOver);
    const QString question = u"%1 changes the translation of %2 blocks; they will be saved, their comments kept. %3 "
                             "The store is copied first. Import?"_s.arg(QFileInfo(path).fileName())
                                 .arg(changing)
                                 .arg(passedOver);
    if (Messages::askWarning(m_c.window, question) != Messages::Answer::Yes)
        return;

    const QModelIndex open = m_c.tree->currentIndex();
    QProgressDialog progress(u"Importing translations..."_s, QString(), 0, changing, m_c.window);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    const TranslationImport import = importTranslations(m_db, units, reason, false, [&progress](int done, int) {
        progress.setValue(done);
    });
    progress.setValue(progress.maximum());
    if (import.failure)
        return Messages::inform(m_c.window, import.failure->message);
    if (!import.saved.empty() && import.saved.back().second.status)
        m_c.status->setText(*import.saved.back().second.status);
    emit translationsImported(import);
    // The open block is loaded again first: its editors still hold what it
    // had before, and the images below must be the last word on its node.
    if (open.isValid())
        emit nodeClicked(open);
    ScriptTreeModel *nodes = ScriptTree::model(*m_c.tree);
    for (const auto &[key, save] : import.saved) {
        const QModelIndex node = nodes ? nodes->indexForKey(key) : QModelIndex();
        if (node.isValid()) {
            nodes->setImage(node, save.nodeImage);
            nodes->setText(node, save.nodeText);
        }
    }
    Messages::inform(m_c.window, u"%1 blocks saved from %2. The store was copied first to backups/%3."_s
                                     .arg(import.saved.size())
                                     .arg(QFileInfo(path).fileName(), import.backup));
}
