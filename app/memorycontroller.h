#pragma once

#include "memory/outsidememory.h"
#include "memory/translationmemory.h"

#include <QObject>
#include <QString>

#include <array>
#include <optional>
#include <vector>

class OpenBlock;
class Database;
class ProjectStore;
class MachineDrafts;
struct MachineDraft;
class MemoryPanel;
class QAction;
class QLabel;
class QMainWindow;
class QModelIndex;
class QTreeView;
class TranslatedEdit;

// The translation memory, the context and the word figures in the main
// window: the panel beside the editors, Ctrl+1 to Ctrl+5, the exact repeats,
// the Statistics window and the script nodes' tooltips. It follows the block
// editing through its signals (a block loaded, a save) and asks it to open a
// block through nodeClicked.
//
// Beside the matches, Apertium's draft of the open block, made on a thread
// of its own and inserted by the Ctrl+digit after the last match; the
// matches take one place less for it while the engine is installed.
//
// The memory's index is read from the store at the first block opened after
// start-up or an import; from then on each save keeps it current.
//
// Thread contract: GUI thread.
class MemoryController : public QObject
{
    Q_OBJECT

public:
    struct Controls
    {
        QMainWindow *window;         // frmMain: holds the shortcuts
        MemoryPanel *panel;          // matches and context, docked by the window
        QTreeView *tree;             // Scripts
        TranslatedEdit *translation; // rtxtTranslated
        QLabel *status;              // lblMsg
    };

    // The matches, the statistics and the memory's rows come from `store`.
    MemoryController(const Controls &controls, ProjectStore &store, Database &db, const OpenBlock &open,
                     const QString &programFolder);

    // Tools, "Statistics...", for the main window to place.
    QAction *statisticsAction() const { return m_statistics; }

    // Ctrl+1 .. Ctrl+5.
    const std::array<QAction *, 5> &insertActions() const { return m_insert; }

    // From the block editing: a block was loaded (or none is open), and a
    // save ran.
    void blockLoaded();
    void blockSaved(bool written);
    // Many blocks were saved elsewhere: the index is read again at the next block.
    void storeChanged() { m_synced = false; }

    // The translation of match `index` into the editor at the caret, as one edit.
    void insertMatch(int index);
    void openRepeats();
    void openStatistics();

signals:
    // A block of the context was clicked: the block editing opens its node.
    void nodeClicked(const QModelIndex &node);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool memoryReady();
    std::optional<BlockAddress> openAddress() const;
    void showMatches();
    void askForDraft(const QStringList &names);
    void showDraft(const QString &original, const MachineDraft &draft);
    void showDraftFailure(const QString &original, const QString &why);
    void openContextBlock(const QString &key);
    QString scriptTooltip(const QModelIndex &node);

    Controls m_c;
    ProjectStore &m_store;
    Database &m_db;
    const OpenBlock &m_openBlock;
    QString m_sidecar;
    TranslationMemory m_memory;
    bool m_synced = false;
    MemoryPanel *m_panel = nullptr;
    std::array<QAction *, 5> m_insert{};
    QString m_openOriginal; // as shown
    std::vector<MemoryMatch> m_matches;
    OutsideMemory m_outside;
    QString m_outsidePath;
    MachineDrafts *m_drafts = nullptr;
    std::optional<QString> m_draftsMissing; // the install hint while the engine is absent
    QString m_draft;                         // as the editors show it; empty until one came
    std::vector<std::pair<qsizetype, qsizetype>> m_draftUnknown;
    QAction *m_statistics = nullptr;
};
