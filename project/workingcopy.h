#pragma once

#include "keeping/backup.h"
#include "project/transfer.h"

#include <QDir>
#include <QHash>

// Work written for the local store, done on a server's: a copy of the
// server's store in a folder of its own in the program folder (with the
// history files and backups a local store keeps beside it), then everything
// the work changed in it written back in one transaction, each block
// against the version it was copied at. The folder goes with the object.
//
// Thread contract: one thread at a time; the server handed to each call is
// one that thread opened.
class WorkingCopy
{
public:
    explicit WorkingCopy(const QString &programFolder);
    ~WorkingCopy();
    WorkingCopy(const WorkingCopy &) = delete;
    WorkingCopy &operator=(const WorkingCopy &) = delete;

    // The copy's tallowpen.db, for the work to open.
    QString path() const;
    // Where that is for a program folder, before any copy is made.
    static QString pathIn(const QString &programFolder);
    // The server's store copied into the folder, as one snapshot.
    Result<Done> take(ServerStore &server);
    // The copies the work took before large changes join the program
    // folder's backups; then what it changed is written back. `what` names
    // the work in the messages ("replace", "the fit"). Gives the number of
    // blocks written; a block that moved on the server meanwhile fails it
    // all as a conflict ("Conflict: …"), and any failure writes nothing.
    Result<qint64> writeBack(ServerStore &server, const QString &what);
    // After writeBack: what it wrote, and the name a copy the work took has
    // among the program folder's backups (empty when it has none).
    const StoreChange &written() const { return m_written; }
    QString keptAs(const QString &backup) const { return m_keptAs.value(backup); }

private:
    friend Backups::Outcome restoreOnServer(ServerStore &, const QString &, const QString &);

    QString m_programFolder;
    QDir m_folder;
    ServerTransfer::StoredSnapshot m_snapshot;
    StoreChange m_written;
    QHash<QString, QString> m_keptAs;
};

// Restore from Backup on a server's store: the copy's content becomes the
// server's store as a versioned batch, so that a team keeps working on it:
// every block that differs gets a new version and a history row, as if
// saved, and editors are told. The server's store is pulled into backups/
// first (the outcome's file). A block saved meanwhile fails it as a conflict.
Backups::Outcome restoreOnServer(ServerStore &server, const QString &programFolder, const QString &file);
