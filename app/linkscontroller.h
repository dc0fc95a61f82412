#pragma once

#include "links/highlight.h"
#include "links/linkstore.h"

#include <QElapsedTimer>
#include <QObject>

#include <array>
#include <functional>
#include <optional>

class Database;
class ProjectStore;
class QAction;
class QDialog;
class QMenu;
class QPoint;
class QWidget;
class TranslatedEdit;

// The word links in the main window: the lookup under the mouse with its
// tooltip and pop-up menus, the link dialog, the marking of linked words in
// rtxtTranslated, the links list (View links) and the links file import.
// The link state lives here: the word under the mouse, the word a click
// found, and what the link dialog ended with.
//
// The glossary's words stay in memory between markings and are reread only
// when the store changed, so marking costs one pass over the text.
//
// Thread contract: GUI thread.
class LinksController : public QObject
{
    Q_OBJECT

public:
    // The translated editor's two pop-up menus and their entries.
    struct Menus
    {
        QMenu *linkMenu;  // mnuDropDown
        QAction *modify;  // mnuModificar
        QAction *erase;   // mnuErase
        std::array<QAction *, 10> suggestions; // mnuSuggest; 0 to 4 are used
        QMenu *addMenu;   // mnuMante
        QAction *add;     // mnuAgregar
    };

    // `window` owns the dialogs and message boxes; the links file dialog
    // opens in `programFolder`. The links are read and written on `store`;
    // a links file goes into `db`.
    LinksController(TranslatedEdit &translation, const Menus &menus, ProjectStore &store, Database &db,
                    const QString &programFolder, QWidget &window);

    // Seams for what waits on a person: the links file dialog (an empty
    // path is Cancel), modal dialogs and pop-up menus. Empty restores the
    // real ones; each returns the one installed before.
    using FileChooser = std::function<QString(QWidget *parent, const QString &title, const QString &folder,
                                              const QString &filter)>;
    using DialogRunner = std::function<int(QDialog &dialog)>;
    using PopupRunner = std::function<void(QMenu &menu, const QPoint &globalPosition)>;
    static FileChooser setFileChooser(FileChooser chooser);
    static DialogRunner setDialogRunner(DialogRunner runner);
    static PopupRunner setPopupRunner(PopupRunner runner);

    void highlightLinks();
    void highlightLinksInLine();
    // Mouse handlers of rtxtTranslated, in viewport coordinates.
    void showLinkUnderMouse(const QPoint &position);
    void offerLinkMenu(const QPoint &position, Qt::MouseButton button);

    void applySuggestion(int index);
    void modifyLink();
    void eraseLink();
    void addLink();
    void openLinksList();
    void importLinksFile();

    // The word links as the editor marks them.
    const LinkGlossary &glossary() const { return m_glossary; }
    // How long, in ms, a key marks with the links read before without
    // asking the store whether another program changed them.
    static constexpr int VersionLookInterval = 500;

private:
    // The word under a viewport point; sets m_wordStart and m_currentWord.
    QString wordOver(const QPoint &position);
    void showLinkDialog(const std::optional<LinkFields> &fields);

    TranslatedEdit &m_editor;
    Menus m_menus;
    ProjectStore &m_store;
    Database &m_db;
    QString m_programFolder;
    QWidget &m_window;
    LinkGlossary m_glossary;
    QElapsedTimer m_versionRead; // since the store's version was last looked at

    QString m_hoverWord;
    std::optional<HoverResult> m_lastHover; // of m_lastHoverWord
    QString m_lastHoverWord;
    qint16 m_wordStart = 0;
    QString m_currentWord;
    bool m_editLinkMode = false;
    bool m_linkAccepted = false;
    LinkFields m_acceptedLink; // five words and the comment
};
