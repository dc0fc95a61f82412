#pragma once

#include "app/editortext.h"
#include "store/blockedit.h"

#include <QObject>
#include <QPersistentModelIndex>

#include <optional>

class QModelIndex;
class ScriptTreeModel;
class MainWindow;
struct MainControls;

// The open block's lifecycle in the main window: loading a node, the save
// (menu, toolbar, automatic save), Clean, Clone and the window-size reset.
// The work itself is in store/blockedit.h; this class moves values between
// it and the controls.
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
    explicit BlockEditController(MainWindow &window);

    // The controller installed on `window` (made by installControllers).
    static BlockEditController *of(MainWindow &window);

    // Loads the node, as a click on it does.
    void openBlock(const QModelIndex &node);
    // Selects the node of `key`, opening the way to it, and loads it (the
    // search window's jump). False when the tree holds no such node or the
    // open block's edits could not be saved (it then stays open).
    bool selectAndLoad(const QString &key);
    // The key of the block whose text the editors hold; empty when none.
    QString openKey() const { return m_openKey; }

    void save();
    void automaticSaveTick();
    void toggleAutomaticSave();
    void cleanTranslation();
    void cloneOriginal();
    void resetWindowSize();
    // Saves the open block's edits as a timer tick would, when automatic save
    // is on. False when the save failed (the block then stays open).
    bool savePendingEdits();

signals:
    // The word links are to be marked in the translation (after a load, Clone).
    void linksHighlightRequested();
    // A block was loaded into the editors (empty key: the editors were emptied).
    void blockLoaded(const QString &key);
    // A save ran; `written` is false when the store already held the values.
    void saved(bool written);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class SaveKind { Command, Automatic };
    bool save(SaveKind kind, const QModelIndex &node);
    void showSaveMarker();
    void clearPreview();
    void redrawPreview();
    void applyLoad(const BlockLoad &load, const QModelIndex &node);
    void emptyEditors();
    void forgetOpenBlock();
    void reportFailure(const QString &message, bool always);
    void reselectOpenNode();
    BlockEdits currentEdits() const;
    ScriptTreeModel *treeModel() const;
    QModelIndex selectedNode() const;
    bool autoSaveOn() const;

    MainWindow &m_window;
    MainControls &m_c;
    QString m_openKey;
    std::optional<BlockSnapshot> m_stored;
    ShownText m_original;
    ShownText m_translation;
    ShownText m_comment;
    bool m_busy = false;       // a message box spins the event loop; ticks wait
    bool m_keyDriven = false;  // the current node moves under the keyboard
    bool m_failing = false;    // automatic saves fail: told once, then in lblMsg
};
