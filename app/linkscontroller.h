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
class frmMain;

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
    explicit LinksController(frmMain &window);

    // The main window's links controller, for the features that mark links
    // (loading a block, Clone).
    static LinksController *of(frmMain &window);

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

    void HighlightLinks();
    void HighlightLinksInLine();
    // Mouse handlers of rtxtTranslated, in viewport coordinates.
    void rtxtTranslated_MouseMove(const QPoint &position);
    void rtxtTranslated_MouseUp(const QPoint &position, Qt::MouseButton button);
    // The word under a viewport point; sets wordStart and currentWord.
    QString RichWordOver(const QPoint &position);

    void mnuSuggest_Click(int index);
    void mnuModificar_click();
    void mnuErase_Click();
    void mnuAgregar_Click();
    void mnuLinks_Click();
    void mnuVinculos_Click();

private:
    void showLinkDialog(const std::optional<LinkFields> &fields);

    frmMain &m_window;
    TranslatedEdit *m_editor = nullptr;
    LinkGlossary m_glossary;
};
