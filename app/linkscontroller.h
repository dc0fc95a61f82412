#pragma once

#include "links/highlight.h"
#include "links/linkstore.h"

#include <QObject>

#include <functional>
#include <optional>

class QDialog;
class QMenu;
class QPoint;
class QWidget;
class TranslatedEdit;
class MainWindow;

// The word links in the main window: the lookup under the mouse with its
// tooltip and pop-up menus, the link dialog, the marking of linked words in
// rtxtTranslated, the links list (View links) and the links file import.
//
// The glossary's words stay in memory between markings and are reread only
// when the store changed, so marking costs one pass over the text.
//
// Thread contract: GUI thread.
class LinksController : public QObject
{
    Q_OBJECT

public:
    explicit LinksController(MainWindow &window);

    // The main window's links controller, for the features that mark links
    // (loading a block, Clone).
    static LinksController *of(MainWindow &window);

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
    // The word under a viewport point; sets wordStart and currentWord.
    QString wordOver(const QPoint &position);

    void applySuggestion(int index);
    void mnuModificar_click();
    void eraseLink();
    void addLink();
    void openLinksList();
    void importLinksFile();

private:
    void showLinkDialog(const std::optional<LinkFields> &fields);

    MainWindow &m_window;
    TranslatedEdit *m_editor = nullptr;
    LinkGlossary m_glossary;
};
