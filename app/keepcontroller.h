#pragma once

#include "keeping/backup.h"
#include "store/nodekey.h"
#include "store/result.h"

#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class BlockEditController;
class QAction;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QThread;
class QTreeView;
class QWidget;
struct AuthoredVersion;
struct BlockVersion;

// What keeps the translator's work from being lost, in the main window:
// the store's check and the daily backup at start-up, Tools > History…,
// Restore from Backup… and Reopen Last Block, the History entry of a block
// node's pop-up menu, and the drafts of unsaved text (written a moment
// after the last key, when a block is left and at Exit; offered again when
// the block is opened).
//
// Thread contract: GUI thread; the start-up check and the daily backup run
// on a thread of their own with their own connections, joined before the
// window goes.
class KeepController : public QObject
{
    Q_OBJECT

public:
    struct Controls
    {
        QWidget *window;
        QTreeView *tree;             // Scripts
        QPlainTextEdit *translation; // rtxtTranslated
        QPlainTextEdit *comment;     // txtComentario
        QCheckBox *revised;          // chkRevised
        QLabel *status;              // lblMsg
    };

    // The pause after the last key before the draft is written: short
    // enough that a crash loses at most two seconds of typing.
    static constexpr int DraftPauseMs = 1000;

    KeepController(const Controls &controls, BlockEditController &blocks, const QString &programFolder,
                   const QString &storePath);

    // Tools: History…, Restore from Backup…, Reopen Last Block, Use Unsaved
    // Draft, for the main window to place.
    const QList<QAction *> &menuEntries() const { return m_entries; }
    ~KeepController() override;

    // Before the store is opened for work: an interrupted restore finished;
    // then, on a thread, the store checked (its damage told with the way
    // back when the check ends) and the daily copy made (none for a damaged
    // store or a folder that cannot be written).
    void startUp();
    // The check and the daily copy have ended and been told (at once when
    // none was started).
    void waitForBackup();

    // The versions of a store that keeps them itself, with their authors;
    // unset: history.db's.
    using VersionReader = std::function<Result<std::vector<AuthoredVersion>>(const BlockAddress &)>;
    void setVersionReader(VersionReader reader) { m_readVersions = std::move(reader); }
    // What Restore from Backup… puts a backup back with; unset: into the
    // program folder's tallowpen.db.
    using Restorer = std::function<Backups::Outcome(const QString &file)>;
    void setRestorer(Restorer restorer) { m_restore = std::move(restorer); }

    void openHistory();
    void openRestore();
    void reopenLastBlock();
    void takeDraft();
    // Writes the open block's unsaved text as its draft now; true when one was written.
    bool writeDraft();

signals:
    // The store was replaced by a backup: the tree is to be built anew.
    void storeRestored();
    // The daily copy ended; `message` is empty when it was made.
    void backupDone(const QString &message);

private:
    struct StartUpWork
    {
        QString problem;       // the store's damage; empty: whole
        QString backupFailure; // empty: copied, or no copy was due
    };
    void report();
    void blockLoaded(const QString &key);
    void tellDraftLeft(const QString &key, const QString &leftWithDraft);
    void showTreeMenu(const QPoint &position);

    Controls m_c;
    BlockEditController &m_blocks;
    QString m_programFolder;
    QString m_storePath;
    QTimer m_draftPause;
    QAction *m_takeDraft = nullptr;
    QThread *m_backup = nullptr;
    std::shared_ptr<StartUpWork> m_startUp;
    bool m_draftProblemTold = false;
    QList<QAction *> m_entries;
    VersionReader m_readVersions;
    Restorer m_restore;
};
