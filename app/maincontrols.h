#pragma once

#include <array>

class QAction;
class QCheckBox;
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
class PreviewWidget;
class TranslatedEdit;

// The named controls of the main window, held like a generated Ui object
// while the window hands each feature the ones it works on. Each pointer's
// object name is its member name.
struct MainControls
{
    QTimer *shaDelay = nullptr;
    QTimer *saveTime = nullptr;
    QLineEdit *txtPath = nullptr;
    QWidget *picContenedor = nullptr;
    QScrollBar *VScroll1 = nullptr;
    PreviewWidget *picPreview = nullptr;
    QFrame *li28 = nullptr;
    QFrame *li32 = nullptr;
    QPlainTextEdit *txtComentario = nullptr;
    QTextEdit *rtxtOriginal = nullptr;
    QTextEdit *rtxtOldOriginal = nullptr; // above rtxtOriginal while its block's original changed
    TranslatedEdit *rtxtTranslated = nullptr;
    QTreeView *Scripts = nullptr;
    QComboBox *cboFilter = nullptr; // above Scripts: the block states it shows
    QToolBar *tool = nullptr;
    QCheckBox *chkRevised = nullptr;
    QWidget *shaSave = nullptr;
    QLabel *lblMsg = nullptr;
    QProgressBar *prgWork = nullptr; // beside lblMsg while an import runs
    QLabel *lblChecks = nullptr;     // beside lblMsg: the open block's findings

    QMenu *mnuTradu = nullptr;
    QAction *mnuGuardar = nullptr;
    QAction *mnuAutoGuar = nullptr;
    QAction *mnuSalir = nullptr;
    QMenu *mnuEd = nullptr;
    QAction *mnuEliminar = nullptr;
    QAction *mnuClonar = nullptr;
    QAction *mnuRevisar = nullptr;
    QAction *mnuSearch = nullptr;
    QMenu *mnuViewMain = nullptr;
    QAction *mnuView = nullptr;
    QAction *mnuLinks = nullptr;
    QMenu *mnuLines = nullptr;
    QAction *mnu28 = nullptr;
    QAction *mnu32 = nullptr;
    QMenu *mnuTools = nullptr;
    QMenu *mnuImportar = nullptr;
    QAction *mnuImpOri = nullptr;
    QAction *mnuImpTra = nullptr;
    QAction *mnuVinculos = nullptr;
    QMenu *mnuExportar = nullptr;
    QAction *mnuExpTra = nullptr;
    QMenu *mnuInsertar = nullptr;
    QAction *mnuNew = nullptr;
    QAction *mnuWait = nullptr;
    QAction *mnuDelay = nullptr;
    QAction *mnuSpace = nullptr;
    QAction *mnuOpcode = nullptr;
    QAction *mnuClose = nullptr;
    QMenu *mnuAyuda = nullptr;
    QAction *mnuAcerca = nullptr;

    // Pop-up menus of the translated editor, never shown in the menu bar.
    QMenu *mnuDropDown = nullptr;
    QAction *mnuModificar = nullptr;
    QAction *mnuErase = nullptr;
    QAction *mnuSeparator = nullptr;
    std::array<QAction *, 10> mnuSuggest{};
    QMenu *mnuMante = nullptr;
    QAction *mnuAgregar = nullptr;
};
