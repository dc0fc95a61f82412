#pragma once

#include "app/keepcontroller.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QStringList>

class BlockEditController;
class PresenceWorker;
class QAction;
class QCheckBox;
class QLabel;
class QThread;
class QTreeView;
class QWidget;
class ServerStore;
struct TeamRights;

// Working beside others on a team server, in the main window: who else is
// at which block (a badge on its node, a line in lblMsg when the block is
// open), Tools > Take Next Untranslated (a block nobody holds, leased while
// it is open), and what the translator's role may not do greyed out with
// the reason. On the program folder's store there is nobody else: the entry
// is greyed and says so, and nothing else changes.
//
// Thread contract: GUI thread; the presence's round trips run on a thread
// of its own (PresenceWorker), joined when the window goes.
class TeamController : public QObject
{
    Q_OBJECT

public:
    struct Controls
    {
        QWidget *window;
        QTreeView *tree;        // Scripts
        QLabel *status;         // lblMsg
        QWidget *revisedHolder; // chkRevised's parent
        QCheckBox *revised;     // chkRevised
    };
    // An entry the role must be a lead for, with what it does in the words
    // of "Your role (translator) cannot …".
    struct LeadEntry
    {
        QAction *action;
        QString what;
    };

    // `server` is null on the program folder's store.
    TeamController(const Controls &controls, BlockEditController &blocks, ServerStore *server);
    ~TeamController() override;

    QAction *takeNextAction() const { return m_takeNext; }
    // The server's kept versions of a block with who wrote each, for the
    // History window; unset on the program folder's store.
    KeepController::VersionReader versionReader() const;
    void takeNext();
    void setLeadEntries(QList<LeadEntry> entries) { m_leadEntries = std::move(entries); }
    // Reads the role's rights from the server and greys what they leave out.
    void showRights();
    // Leaves the block and lets the lease go, before the store closes.
    void stop();

signals:
    // Take Next Untranslated opened the block it was handed (empty: none).
    void handedOut(const QString &key);

private:
    void othersChanged(const QMap<QString, QStringList> &others);
    void handed(const QString &key, const QString &why);
    void showNote();
    void enter(const QString &key);

    Controls m_c;
    BlockEditController &m_blocks;
    ServerStore *m_server;
    QAction *m_takeNext;
    QThread *m_thread = nullptr;
    PresenceWorker *m_worker = nullptr;
    QMap<QString, QStringList> m_others;
    QString m_note; // the line lblMsg ends with for the open block
    QList<LeadEntry> m_leadEntries;
};
