#pragma once

#include "keeping/backup.h"
#include "project/serverundo.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class Database;
class ServerStore;
class WorkingCopy;
class QWidget;

// The window's features that work on a store file (imports, Replace, the
// fits, the exports, …), run on a server's store unchanged: each run makes
// a working copy of the server's store in the program folder, opens the
// window's Database on it, lets the feature work there, and writes what it
// changed back to the server in one versioned transaction. The copy and the
// write-back run off the window's thread behind a progress; a conflict or a
// lost server writes nothing and says so; the copy is always removed. On
// the program folder's store the feature runs as it is.
//
// Thread contract: GUI thread; each copy and write-back opens a server
// connection of its own on the thread that does it.
class ServerBatch : public QObject
{
    Q_OBJECT

public:
    // `server` null: the program folder's store.
    ServerBatch(QWidget &window, Database &db, const QString &programFolder, ServerStore *server);
    ~ServerBatch() override;

    bool onServer() const { return !m_address.isEmpty(); }
    // The store file the features are handed: the program folder's
    // tallowpen.db, or on a server where the working copy is made.
    QString storePath() const;

    // Runs `work`, which may write the store; `what` names it in messages
    // ("the replace").
    void run(const QString &what, const std::function<void()> &work);
    // Runs `work`, which only reads the store: on a server, on a copy of it
    // that is then thrown away.
    void read(const std::function<void()> &work);
    // As route(), for work that only reads the store.
    template <typename Sender, typename Signal>
    void routeRead(Sender *sender, Signal signal, QObject *controller, std::function<void()> work)
    {
        if (!onServer())
            return;
        QObject::disconnect(sender, signal, controller, nullptr);
        connect(sender, signal, this, [this, work = std::move(work)] { read(work); });
    }
    // On a server, `signal` of `sender` runs `work` through run() instead of
    // what `controller` had connected to it; elsewhere nothing changes.
    template <typename Sender, typename Signal>
    void route(Sender *sender, Signal signal, QObject *controller, const QString &what, std::function<void()> work)
    {
        if (!onServer())
            return;
        QObject::disconnect(sender, signal, controller, nullptr);
        connect(sender, signal, this, [this, what, work = std::move(work)] { run(what, work); });
    }
    // Restore from Backup on the server: the backup's content written as a
    // versioned batch after the server's store is pulled into backups/.
    Backups::Outcome restore(const QString &file);
    // The last batch edit run here on this server, and its undo, written
    // back as a batch is; for Undo Last Batch.
    Result<std::optional<ServerBatchRecord>> lastBatch() const;
    Result<qint64> undo(const ServerBatchRecord &batch);
    QString programFolder() const { return m_programFolder; }

signals:
    // Before the copy is made: the open block's edits must reach the server.
    void aboutToCopy();
    // A run on the server ended: the server's store may differ from what
    // the window shows, which the feature took from the copy.
    void batchEnded();

private:
    // The copy made and the window's Database opened on it.
    bool copy();
    // The batch the run recorded in its copy, kept for an undo.
    void keepBatch();

    QWidget &m_window;
    Database &m_db;
    QString m_programFolder;
    QString m_address;
    std::unique_ptr<WorkingCopy> m_copy; // while a run is on
};
