#pragma once

#include <array>

class QAction;
class QCheckBox;
class QDockWidget;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QScrollBar;
class QTextEdit;
class QTimer;
class QToolBar;
class QTreeView;
class QWidget;
class MemoryPanel;
class PreviewWidget;
class TranslatedEdit;

// The named controls of the main window, held like a generated Ui object
// while the window hands each feature the ones it works on. Members take
// the control's role; the object name it carries is set where it is built
// (docs/design.md lists both).
struct MainControls
{
    QTimer *saveMarkerDelay = nullptr;
    QTimer *saveTimer = nullptr;
    QLineEdit *folderPath = nullptr;
    QWidget *previewContainer = nullptr;
    QScrollBar *previewScroll = nullptr;
    PreviewWidget *preview = nullptr;
    QFrame *guide28 = nullptr;
    QFrame *guide32 = nullptr;
    QPlainTextEdit *comment = nullptr;
    QTextEdit *original = nullptr;
    QTextEdit *oldOriginal = nullptr; // above the original while its block's original changed
    TranslatedEdit *translation = nullptr;
    QTreeView *tree = nullptr;
    QComboBox *treeFilter = nullptr; // above the tree: the block states it shows
    QToolBar *toolbar = nullptr;
    QCheckBox *revised = nullptr;
    QWidget *revisedHolder = nullptr; // chkRevised's parent, greyed for a role that may not revise
    QWidget *saveMarker = nullptr;
    QLabel *status = nullptr;
    QProgressBar *progress = nullptr; // beside the status while an import runs
    QDockWidget *memoryDock = nullptr; // at the right: the memory panel
    MemoryPanel *memoryPanel = nullptr;
    QLabel *checksSummary = nullptr;     // beside the status: the open block's findings

    QMenu *translationMenu = nullptr;
    QAction *saveAction = nullptr;
    QAction *automaticSaveAction = nullptr;
    QAction *exitAction = nullptr;
    QMenu *editMenu = nullptr;
    QAction *cleanAction = nullptr;
    QAction *cloneAction = nullptr;
    QAction *checkSpellAction = nullptr;
    QAction *searchAction = nullptr;
    QMenu *viewMenu = nullptr;
    QAction *viewScriptAction = nullptr;
    QAction *viewLinksAction = nullptr;
    QMenu *controlLinesMenu = nullptr;
    QAction *guide28Action = nullptr;
    QAction *guide32Action = nullptr;
    QMenu *toolsMenu = nullptr;
    QMenu *importMenu = nullptr;
    QAction *importOriginalAction = nullptr;
    QAction *importTranslatedAction = nullptr;
    QAction *importLinksAction = nullptr;
    QMenu *exportMenu = nullptr;
    QAction *exportTranslatedAction = nullptr;
    QMenu *insertMenu = nullptr;
    QAction *insertNewAction = nullptr;
    QAction *insertWaitAction = nullptr;
    QAction *insertDelayAction = nullptr;
    QAction *insertSpaceAction = nullptr;
    QAction *insertOpcodeAction = nullptr;
    QAction *insertCloseAction = nullptr;
    QMenu *helpMenu = nullptr;
    QAction *aboutAction = nullptr;

    // Pop-up menus of the translated editor, never shown in the menu bar.
    QMenu *linkMenu = nullptr;
    QAction *modifyLinkAction = nullptr;
    QAction *eraseLinkAction = nullptr;
    QAction *suggestionSeparator = nullptr;
    std::array<QAction *, 10> suggestionActions{};
    QMenu *addLinkMenu = nullptr;
    QAction *addLinkAction = nullptr;
};
