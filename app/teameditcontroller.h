#pragma once

#include "app/blockeditcontroller.h"
#include "keeping/projectstore.h"
#include "server/outbox.h"

#include <QObject>
#include <QTimer>

#include <optional>

class ConflictPanel;
class LiveChanges;
class OpenBlock;
class QDockWidget;
class QLabel;
class QMainWindow;
class ServerStore;
class TreeController;
struct BlockChange;

// Working with others on a server's store: every save names the version the
// block was loaded with, and a stale one opens the conflict panel (or merges
// by itself when each changed other fields); saves made elsewhere update
// the tree, the counts and the open block as they are committed; while the
// server cannot be reached, saves wait in the outbox and are replayed
// through the same check when it is back.
//
// Thread contract: GUI thread.
class TeamEditController : public QObject
{
    Q_OBJECT

public:
    struct Controls
    {
        QMainWindow *window;
        QLabel *status; // lblMsg
    };
    TeamEditController(const Controls &controls, BlockEditController &blocks, OpenBlock &open, TreeController &tree,
                       ServerStore &store, const QString &programFolder, const QString &storePath);

    // Saves left in the outbox by an earlier run, now that the store is open.
    void replayOutbox();
    // nullptr until the change feed could be opened.
    LiveChanges *liveChanges() const { return m_live; }

private:
    struct Conflict
    {
        QString key;
        QString nodeText;
        BlockEdits mine;
        BlockRead theirs;
        std::optional<qint64> outboxId;
    };
    BlockEditController::FailedSave saveFailed(const QString &key, const QString &nodeText, const BlockEdits &mine,
                                               const Failure &failure);
    void openFeed();
    void changed(const BlockChange &change);
    void setOffline(bool offline, const QString &why = {});
    void showConflict(const Conflict &conflict);
    void settled(const QString &note);
    void saveOver(const BlockEdits &mine);
    BlockEdits mineNow() const;
    void keepMine();
    void takeTheirs();
    void saveEdited();

    Controls m_c;
    BlockEditController &m_blocks;
    OpenBlock &m_open;
    TreeController &m_tree;
    ServerStore &m_store;
    QString m_storePath;
    Outbox m_outbox;
    LiveChanges *m_live = nullptr;
    QLabel *m_connection;
    QDockWidget *m_dock;
    ConflictPanel *m_panel;
    std::optional<Conflict> m_conflict;
    QTimer m_retry; // the outbox tried again while it holds saves
};
