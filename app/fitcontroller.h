#pragma once

#include <QObject>

class Database;
class QAction;
class QLabel;
class QMenu;
class QModelIndex;
class QTreeView;
class QWidget;
class TranslatedEdit;
struct WindowSize;

// "Fit to window": the open block's translation re-wrapped to its window as
// one edit the translator can undo, and the blocks of a script, a folder or
// the project fitted and saved at once after a confirmation. What still
// overflows is said on the status line.
//
// Thread contract: GUI thread.
class FitController : public QObject
{
    Q_OBJECT

public:
    struct Controls
    {
        QWidget *window;             // frmMain: owns the messages
        QTreeView *tree;             // Scripts: the open block's node
        TranslatedEdit *translation; // rtxtTranslated
        QLabel *status;              // lblMsg
    };

    FitController(const Controls &controls, const WindowSize &size, Database &db, QObject *parent);

    QAction *fitBlockAction() const { return m_fitBlock; }
    // Tools, Fit Overflowing Blocks: the same menu serves the checks window.
    QMenu *overflowingMenu() const { return m_overflowing; }

    void fitOpenBlock();
    enum class Scope { Script, Folder, Project };
    // Asks with the count first; the open block is saved before and loaded again after.
    void fitOverflowing(Scope scope);

signals:
    // Before a batch: the open block's edits must reach the store.
    void saveRequested();
    // After a batch: the node to load again, so the editors show what was saved.
    void nodeClicked(const QModelIndex &node);
    // After a batch that saved blocks: what was read of the store is stale.
    void blocksSaved();

private:
    Controls m_c;
    const WindowSize &m_size;
    Database &m_db;
    QAction *m_fitBlock = nullptr;
    QMenu *m_overflowing = nullptr;
};
