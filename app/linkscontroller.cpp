#include "app/linkscontroller.h"

#include "ui/filedialogs.h"
#include "ui/messages.h"
#include "keeping/projectstore.h"
#include "editor/widgets/translatededit.h"
#include "links/linksfile.h"
#include "links/widgets/linkdialog.h"
#include "links/widgets/linkslistwindow.h"
#include "links/widgets/linkhighlighter.h"
#include "links/wordfinder.h"

#include <QMenu>

using namespace Qt::StringLiterals;

namespace {

LinksController::FileChooser &fileChooser()
{
    static LinksController::FileChooser chooser;
    return chooser;
}

LinksController::DialogRunner &dialogRunner()
{
    static LinksController::DialogRunner runner;
    return runner;
}

LinksController::PopupRunner &popupRunner()
{
    static LinksController::PopupRunner runner;
    return runner;
}

int runDialog(QDialog &dialog)
{
    return dialogRunner() ? dialogRunner()(dialog) : dialog.exec();
}

void runPopup(QMenu &menu, const QPoint &globalPosition)
{
    if (popupRunner())
        popupRunner()(menu, globalPosition);
    else
        menu.exec(globalPosition);
}

} // namespace

LinksController::FileChooser LinksController::setFileChooser(FileChooser chooser)
{
    return std::exchange(fileChooser(), std::move(chooser));
}

LinksController::DialogRunner LinksController::setDialogRunner(DialogRunner runner)
{
    return std::exchange(dialogRunner(), std::move(runner));
}

LinksController::PopupRunner LinksController::setPopupRunner(PopupRunner runner)
{
    return std::exchange(popupRunner(), std::move(runner));
}

LinksController::LinksController(TranslatedEdit &translation, const Menus &menus, ProjectStore &store, Database &db,
                                 const QString &programFolder, QWidget &window)
    : QObject(&window)
    , m_editor(translation)
    , m_menus(menus)
    , m_store(store)
    , m_db(db)
    , m_programFolder(programFolder)
    , m_window(window)
{
    connect(&m_editor, &TranslatedEdit::keyDownLinks, this, &LinksController::highlightLinksInLine);
    connect(&m_editor, &TranslatedEdit::mouseMoved, this,
            [this](const QPoint &position) { showLinkUnderMouse(position); });
    connect(&m_editor, &TranslatedEdit::mouseReleased, this,
            [this](const QPoint &position, Qt::MouseButton button) { offerLinkMenu(position, button); });
    for (int i = 0; i < 5; ++i)
        connect(m_menus.suggestions.at(size_t(i)), &QAction::triggered, this, [this, i] { applySuggestion(i); });
    connect(m_menus.modify, &QAction::triggered, this, &LinksController::modifyLink);
    connect(m_menus.erase, &QAction::triggered, this, &LinksController::eraseLink);
    connect(m_menus.add, &QAction::triggered, this, &LinksController::addLink);
}

void LinksController::highlightLinks()
{
    // A server's store cannot tell of the team's changes: each block load
    // reads its words again; typing keeps them.
    if (m_store.keepsVersions()) {
        m_glossary.forget();
        m_lastHover.reset();
    }
    (void)m_glossary.refresh(m_store);
    m_versionRead.start();
    ::highlightLinks(&m_editor, m_glossary);
}

void LinksController::highlightLinksInLine()
{
    // The store's version is a read of the file, a twentieth of a key: this
    // window's own link changes mark at once (highlightLinks), another
    // program's on the first key half a second after the last look.
    if (!m_versionRead.isValid() || m_versionRead.hasExpired(VersionLookInterval)) {
        (void)m_glossary.refresh(m_store);
        m_versionRead.start();
    }
    ::highlightLinksInLine(&m_editor, m_glossary);
}

QString LinksController::wordOver(const QPoint &position)
{
    return ::wordOver(m_editor.plainTextCrLf(), m_editor.characterIndexAt(position), m_wordStart, m_currentWord);
}

void LinksController::showLinkUnderMouse(const QPoint &position)
{
    for (int i = 0; i < 5; ++i) {
        m_menus.suggestions.at(size_t(i))->setText(QString());
        m_menus.suggestions.at(size_t(i))->setVisible(false);
    }
    m_editor.setToolTip(QString());
    const QString word = wordOver(position);
    // Every move of the mouse asks: a server is asked again only for another word.
    if (!m_store.keepsVersions() || !m_lastHover || word != m_lastHoverWord) {
        m_lastHover = lookupHover(m_store, word);
        m_lastHoverWord = word;
    }
    m_hoverWord = word;
    const HoverResult &result = *m_lastHover;
    for (int i = 0; i < 5; ++i) {
        m_menus.suggestions.at(size_t(i))->setText(result.captions.at(size_t(i)));
        m_menus.suggestions.at(size_t(i))->setVisible(result.visible(i));
    }
    m_editor.setToolTip(result.tooltip);
}

void LinksController::offerLinkMenu(const QPoint &position, Qt::MouseButton button)
{
    const QString word = wordOver(position);
    if (button != Qt::RightButton)
        return;
    const QPoint global = m_editor.viewport()->mapToGlobal(position);
    if (m_menus.suggestions[0]->isVisible()) {
        runPopup(*m_menus.linkMenu, global);
        return;
    }
    m_menus.add->setText(addLinkCaption(word));
    runPopup(*m_menus.addMenu, global);
    highlightLinks();
}

void LinksController::applySuggestion(int index)
{
    const QString caption = m_menus.suggestions.at(size_t(index))->text();
    m_editor.replaceTextCrLf(::applySuggestion(m_editor.plainTextCrLf(), m_wordStart, m_currentWord, caption));
    highlightLinks();
}

void LinksController::modifyLink()
{
    const Result<LinkFields> fields = readLinkFields(m_store, m_hoverWord);
    if (!fields) {
        Messages::inform(&m_window, u"The link of %1 could not be read (%2). Nothing was changed."_s.arg(
                                        m_hoverWord, fields.error().message));
        return;
    }
    m_editLinkMode = true;
    showLinkDialog(*fields);
}

void LinksController::eraseLink()
{
    // The question's event loop lets the mouse move on: the word is the asked one.
    const QString word = m_hoverWord;
    if (Messages::askWarning(&m_window, eraseQuestion(word)) != Messages::Answer::Yes)
        return;
    m_lastHover.reset();
    if (const Result<Done> erased = m_store.eraseLink(word); !erased)
        Messages::inform(&m_window, erased.error().message);
    highlightLinks();
}

void LinksController::addLink()
{
    m_editLinkMode = false;
    showLinkDialog(std::nullopt);
}

void LinksController::showLinkDialog(const std::optional<LinkFields> &fields)
{
    LinkDialog dialog(m_store, m_hoverWord, m_editLinkMode, &m_window);
    m_linkAccepted = false;
    if (fields)
        dialog.setFields(*fields);
    runDialog(dialog);
    m_lastHover.reset();
    m_linkAccepted = dialog.linkAccepted();
    if (dialog.linkAccepted())
        m_acceptedLink = dialog.acceptedLink();
}

void LinksController::openLinksList()
{
    LinksListWindow list(m_store,
                         [this](const QString &word) -> std::optional<LinkFields> {
                             m_hoverWord = word;
                             modifyLink();
                             if (!m_linkAccepted)
                                 return std::nullopt;
                             return m_acceptedLink;
                         },
                         &m_window);
    runDialog(list);
}

void LinksController::importLinksFile()
{
    const QString title = u"Import links file"_s;
    const QString filter = u"Links file (*.txt)"_s;
    const QString path = fileChooser() ? fileChooser()(&m_window, title, m_programFolder, filter)
                                       : FileDialogs::openFile(&m_window, title, m_programFolder, filter);
    if (path.isEmpty())
        return; // cancelled: nothing to say
    const LinksImportResult result = ::importLinksFile(m_db, path);
    if (result.ok())
        Messages::inform(&m_window, LinksImportedText);
    else
        Messages::inform(&m_window, result.failureText());
    // The open block shows its newly linked words at once, not only after
    // the next load.
    highlightLinks();
}
