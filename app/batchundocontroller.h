#pragma once

#include <QObject>

class Database;
class QAction;
class QDateTime;
class QLabel;
class QModelIndex;
class QTreeView;
class QWidget;
class ServerBatch;
struct ServerBatchRecord;

// Edit, "Undo Last Batch...": the blocks the last batch edit changed (a fit
// of many blocks, a translation applied to its repeats) put back as they
// were before it, from their history rows, after a question.
//
// Thread contract: GUI thread.
class BatchUndoController : public QObject
{
    Q_OBJECT

public:
    struct Controls
    {
        QWidget *window; // frmMain: owns the messages
        QTreeView *tree; // Scripts: the nodes of the blocks put back
        QLabel *status;  // lblMsg
    };

    BatchUndoController(const Controls &controls, Database &db, QObject *parent);

    // Edit, "Undo Last Batch...", for the main window to place.
    QAction *undoAction() const { return m_undo; }
    void undoLastBatch();
    // On a server's store the last batch is the one `batch` kept, put back
    // through it.
    void setServer(ServerBatch *batch) { m_server = batch; }

signals:
    // Before the undo: the open block's edits must reach the store.
    void saveRequested();
    // After it: the open node, loaded again to show what the store holds.
    void nodeClicked(const QModelIndex &node);
    void blocksSaved();

private:
    Controls m_c;
    void undoOnServer();
    // Edits made since the batch: the program folder's store replaces the
    // translator's own, a team's store refuses the undo rather than replace a colleague's.
    enum class LaterEdits { Replaced, Refuse };
    bool confirmed(const QString &reason, const QDateTime &time, size_t blocks, const QString &backup,
                   const QString &backups, LaterEdits later);

    Database &m_db;
    ServerBatch *m_server = nullptr;
    QAction *m_undo = nullptr;
};
