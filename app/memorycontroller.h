#pragma once

#include "memory/translationmemory.h"

#include <QObject>
#include <QString>

#include <array>
#include <optional>
#include <vector>

class Database;
class MemoryPanel;
class QAction;
class QDockWidget;
class QLabel;
class QMainWindow;
class QMenu;
class QModelIndex;
class QTreeView;
class TranslatedEdit;

// The translation memory, the context and the word figures in the main
// window: the panel beside the editors, Ctrl+1 to Ctrl+5, the exact repeats,
// the Statistics window and the script nodes' tooltips. It follows the block
// editing through its signals (a block loaded, a save) and asks it to open a
// block through nodeClicked.
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
        QMainWindow *window;         // frmMain: holds the panel and the shortcuts
        QTreeView *tree;             // Scripts
        TranslatedEdit *translation; // rtxtTranslated
        QMenu *tools;                // mnuTools
        QLabel *status;              // lblMsg
    };

    MemoryController(const Controls &controls, Database &db, const QString &programFolder);

    MemoryPanel *panel() const { return m_panel; }
    // Ctrl+1 .. Ctrl+5.
    const std::array<QAction *, 5> &insertActions() const { return m_insert; }

    // From the block editing: a block was loaded (empty key: none is open),
    // and a save ran.
    void blockLoaded(const QString &key);
    void blockSaved(bool written);

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
    void showMatches();
    void openContextBlock(const QString &key);
    QString scriptTooltip(const QModelIndex &node);

    Controls m_c;
    Database &m_db;
    QString m_sidecar;
    TranslationMemory m_memory;
    bool m_synced = false;
    MemoryPanel *m_panel = nullptr;
    QDockWidget *m_dock = nullptr;
    std::array<QAction *, 5> m_insert{};
    std::optional<BlockAddress> m_open;
    QString m_openOriginal; // as shown
    std::vector<MemoryMatch> m_matches;
};
