#pragma once

#include "app/editortext.h"
#include "keeping/blocksave.h"
#include "keeping/projectstore.h"

#include <QObject>

#include <functional>
#include <optional>

class Database;
class ProjectStore;
class QAction;
class QCheckBox;
class QLabel;
class QModelIndex;
class QPlainTextEdit;
class QTextEdit;
class QTimer;
class QTreeView;
class QWidget;
class ScriptTreeModel;
class OpenBlock;

// The open block's lifecycle in the main window: loading a node, the save
// (menu, toolbar, automatic save), Clean, Clone and the window-size reset.
// The work itself is in store/blockedit.h; this class moves values between
// it and the controls, and announces what happened so that the preview and
// the word links follow.
//
// The open block is the one whose text the editors hold. With automatic save
// on, its pending edits are saved before another node is loaded and at Exit,
// and a store failure never empties the editors: the text stays where the
// translator can still save it.
//
// Thread contract: GUI thread.
class BlockEditController : public QObject
{
    Q_OBJECT

public:
    struct Controls
    {
        QTreeView *tree;             // Scripts
        QTextEdit *original;         // rtxtOriginal
        QPlainTextEdit *translation; // rtxtTranslated
        QPlainTextEdit *comment;     // txtComentario
        QCheckBox *revised;          // chkRevised
        QLabel *status;              // lblMsg
        QWidget *saveMarker;         // shaSave
        QTimer *saveMarkerDelay;     // shaDelay
        QTimer *saveTimer;           // saveTime
        QAction *automaticSave;      // mnuAutoGuar
        QAction *saveEntry;          // mnuGuardar
    };

    // `window` owns the message boxes. Blocks are loaded from and saved to
    // `store`; `db` is the program folder's file, for the window-size reset.
    BlockEditController(const Controls &controls, Database &db, ProjectStore &store, OpenBlock &open,
                        QWidget &window);

    // Loads the node, as a click on it does.
    void openBlock(const QModelIndex &node);

    void save();
    // One tick of saveTime: the open block's edits saved when automatic save is on.
    void automaticSaveTick();
    void toggleAutomaticSave();
    void cleanTranslation();
    void cloneOriginal();
    // Exit's last chance for the open block's edits, told even if told before.
    void saveAtExit();

    // Empties the editors without saving: the store under them changed.
    void closeBlock();
    // The open block's key; empty when no block is open.
    QString openKey() const;
    // The open block itself: its drafts, its version.
    OpenBlock &openedBlock() const { return m_open; }
    // What the editors hold for the open block; nullopt when none is open.
    std::optional<BlockEdits> openEdits() const;
    // True when the editors hold something the store does not.
    bool hasUnsavedEdits() const;
    // Puts values into the editors of the open block as an edit (undone by
    // Ctrl+Z's neighbour, the editor's own undo), unsaved until saved.
    void putEdits(const BlockEdits &edits);
    // Shows `read` in the editors as the open block's load, unsaved edits
    // dropped: the caller kept them.
    void showRead(const BlockRead &read);

    // What the team editing made of a save the store refused: not its
    // business (the message as always), kept for later (the save counts as
    // done), held for a person to settle (the block stays open), or to be
    // saved again at once with merged edits.
    struct FailedSave
    {
        enum Kind { Unhandled, Kept, Held, Retry } kind = Unhandled;
        BlockEdits edits;
        QString note; // for lblMsg
    };
    using FailureHandler = std::function<FailedSave(const QString &key, const QString &nodeText,
                                                    const BlockEdits &mine, const Failure &failure)>;
    void setFailureHandler(FailureHandler handler) { m_onFailure = std::move(handler); }

signals:
    // A load is about to fill the editors, which were emptied for it.
    void editorsEmptied();
    // A block was loaded into the editors, with the rows it was loaded from,
    // so that no feature reads them again by its key (empty key and an empty
    // load: the node is no block, or its rows could not be shown; the editors
    // stay empty).
    void blockLoaded(const QString &key, const BlockLoad &load);
    // A save ran; `written` is false when the store already held the values.
    void saved(bool written);
    // Clean emptied the translation.
    void translationCleaned();
    // Clone copied the original into the translation.
    void originalCloned();
    // A field block's chosen window size went back to its own.
    void windowSizeReset();
    // The open block is about to be left (another node, Exit) while its
    // edits are still in the editors, saved or not.
    void leavingBlock(const QString &key);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class SaveKind { Command, Automatic };
    bool saveNode(SaveKind kind, const QModelIndex &node);
    bool savePendingEdits();
    void showSaveMarker();
    void applyLoad(const BlockRead &read, const QModelIndex &node);
    void emptyEditors();
    void forgetOpenBlock();
    void reportFailure(const QString &message, bool always);
    void reselectOpenNode();
    void resetWindowSize();
    BlockEdits currentEdits() const;
    ScriptTreeModel *treeModel() const;
    bool autoSaveOn() const;

    Controls m_c;
    Database &m_db;
    OpenBlock &m_open;
    QWidget &m_window;
    FailureHandler m_onFailure;
    ShownText m_original;
    ShownText m_translation;
    ShownText m_comment;
    bool m_busy = false;       // a message box spins the event loop; ticks wait
    bool m_keyDriven = false;  // the current node moves under the keyboard
    bool m_failing = false;    // automatic saves fail: told once, then in lblMsg
    bool m_historyTold = false; // a history.db problem: told once, then in lblMsg
};
