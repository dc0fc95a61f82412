#include "app/batchundocontroller.h"

#include "ui/messages.h"
#include "keeping/batch.h"
#include "app/serverbatch.h"
#include "files/programfolder.h"
#include "store/database.h"
#include "store/widgets/scripttreemodel.h"
#include "store/widgets/scripttree.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QTreeView>

using namespace Qt::StringLiterals;

BatchUndoController::BatchUndoController(const Controls &controls, Database &db, QObject *parent)
    : QObject(parent)
    , m_c(controls)
    , m_db(db)
{
    // Ctrl+Shift+U: U for undo; Ctrl+Z is Exit in this program.
    m_undo = new QAction(u"Undo Last Batch..."_s, this);
    connect(m_undo, &QAction::triggered, this, &BatchUndoController::undoLastBatch);
    m_undo->setObjectName(u"undoBatchAction"_s);
    m_undo->setShortcut(QKeySequence(u"Ctrl+Shift+U"_s));
}

bool BatchUndoController::confirmed(const QString &reason, const QDateTime &time, size_t blocks,
                                   const QString &backup, const QString &backups, LaterEdits later)
{
    const QString since = later == LaterEdits::Replaced
                              ? u"edits made to them since are replaced too (the history keeps them)"_s
                              : u"if anyone changed one of them since, nothing is undone"_s;
    const QString question =
        u"Undo %1 of %2? The %3 blocks it changed go back to what they held before it, comments and \"Revised\" "
        "marks included; %4. The backup made before it is %5 in %6."_s
            .arg(batchCaption(reason), QLocale().toString(time, QLocale::ShortFormat))
            .arg(blocks)
            .arg(since, backup, backups);
    return Messages::askYesNo(m_c.window, question) == Messages::Answer::Yes;
}

void BatchUndoController::undoOnServer()
{
    const Result<std::optional<ServerBatchRecord>> last = m_server->lastBatch();
    if (!last)
        return Messages::inform(m_c.window, u"The last batch edit could not be read: "_s + last.error().message);
    const std::optional<ServerBatchRecord> &batch = *last;
    if (!batch)
        return Messages::inform(m_c.window, u"There is no batch edit to undo."_s);
    const QString backups = QDir::toNativeSeparators(programPath(m_server->programFolder(), u"backups"_s));
    if (!confirmed(batch->reason, batch->time, batch->blocks.size(), batch->backup, backups, LaterEdits::Refuse))
        return;
    emit saveRequested();
    // A block changed since the batch refuses it all: on a team's store the
    // undo must not replace a colleague's work, as it may a translator's own.
    const Result<qint64> undone = m_server->undo(*batch);
    if (!undone) {
        return Messages::inform(m_c.window, u"The batch was not undone; no block changed. %1 Its backup %2 in %3 "
                                            "holds the store as it was before it."_s
                                                .arg(undone.error().message, batch->backup, backups));
    }
    Messages::inform(m_c.window, u"%1 undone: %2 blocks put back."_s.arg(batchCaption(batch->reason)).arg(*undone));
}

void BatchUndoController::undoLastBatch()
{
    if (m_server && m_server->onServer())
        return undoOnServer();
    if (!m_db.isOpen())
        return;
    const Result<std::optional<BatchRecord>> last = lastBatch(m_db.path());
    if (!last)
        return Messages::inform(m_c.window, u"The last batch edit could not be read: "_s + last.error().message);
    const std::optional<BatchRecord> &batch = *last;
    if (!batch)
        return Messages::inform(m_c.window, u"There is no batch edit to undo."_s);
    const QString backups = QDir::toNativeSeparators(QFileInfo(m_db.path()).dir().filePath(u"backups"_s));
    if (!confirmed(batch->reason, batch->time, batch->blocks.size(), batch->backup, backups, LaterEdits::Replaced))
        return;
    emit saveRequested();
    const QModelIndex open = m_c.tree->currentIndex();
    const BatchUndo undo = undoBatch(m_db, *batch);
    if (!undo.problems.isEmpty()) {
        return Messages::inform(m_c.window, u"The batch was not undone; no block changed. %1 Its backup %2 in %3 "
                                            "holds the store as it was before it."_s
                                                .arg(undo.problems.join(u' '), batch->backup, backups));
    }
    ScriptTreeModel *nodes = ScriptTree::model(*m_c.tree);
    for (const auto &[key, save] : undo.saved) {
        const QModelIndex node = nodes ? nodes->indexForKey(key) : QModelIndex();
        if (node.isValid()) {
            nodes->setImage(node, save.nodeImage);
            nodes->setText(node, save.nodeText);
        }
    }
    if (!undo.saved.empty()) {
        if (const auto status = currentStatusLine(m_db))
            m_c.status->setText(*status);
        emit blocksSaved();
    }
    if (open.isValid())
        emit nodeClicked(open);
    Messages::inform(m_c.window, u"%1 undone: %2 blocks put back."_s.arg(batchCaption(batch->reason)).arg(undo.saved.size()));
}
