#include "app/linkscontroller.h"

#include "app/blockeditcontroller.h"
#include "app/mainwindow.h"
#include "app/ui/messages.h"
#include "editor/widgets/translatededit.h"
#include "links/linksfile.h"
#include "links/widgets/linkdialog.h"
#include "links/widgets/linkslistwindow.h"
#include "links/widgets/linkhighlighter.h"
#include "links/wordfinder.h"

#include <QFileDialog>
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

LinksController::LinksController(MainWindow &window)
    : QObject(&window)
    , m_window(window)
    , m_editor(qobject_cast<TranslatedEdit *>(window.controls().rtxtTranslated))
{
    setObjectName(u"linksController"_s);
    const MainControls &c = window.controls();
    if (m_editor) {
        connect(m_editor, &TranslatedEdit::keyDownLinks, this, &LinksController::highlightLinksInLine);
        connect(m_editor, &TranslatedEdit::mouseMoved, this,
                [this](const QPoint &position) { showLinkUnderMouse(position); });
        connect(m_editor, &TranslatedEdit::mouseReleased, this,
                [this](const QPoint &position, Qt::MouseButton button) { offerLinkMenu(position, button); });
    }
    for (int i = 0; i < 5; ++i)
        connect(c.mnuSuggest.at(size_t(i)), &QAction::triggered, this, [this, i] { applySuggestion(i); });
    connect(c.mnuModificar, &QAction::triggered, this, &LinksController::mnuModificar_click);
    connect(c.mnuErase, &QAction::triggered, this, &LinksController::eraseLink);
    connect(c.mnuAgregar, &QAction::triggered, this, &LinksController::addLink);
    // Loading a block and Clone ask for the marks.
    if (BlockEditController *blocks = BlockEditController::of(window))
        connect(blocks, &BlockEditController::linksHighlightRequested, this, &LinksController::highlightLinks);
    window.setCommand(Command::ViewLinks, [this] { openLinksList(); });
    window.setCommand(Command::ImportLinks, [this] { importLinksFile(); });
}

LinksController *LinksController::of(MainWindow &window)
{
    return window.findChild<LinksController *>(u"linksController"_s, Qt::FindDirectChildrenOnly);
}

void LinksController::highlightLinks()
{
    if (!m_editor)
        return;
    m_glossary.refresh(m_window.db());
    ::highlightLinks(m_editor, m_glossary);
}

void LinksController::highlightLinksInLine()
{
    if (!m_editor)
        return;
    m_glossary.refresh(m_window.db());
    ::highlightLinksInLine(m_editor, m_glossary);
}

QString LinksController::wordOver(const QPoint &position)
{
    if (!m_editor)
        return {};
    MainState &state = m_window.state();
    return ::wordOver(m_editor->plainTextCrLf(), m_editor->characterIndexAt(position), state.wordStart,
                          state.currentWord);
}

void LinksController::showLinkUnderMouse(const QPoint &position)
{
    const MainControls &c = m_window.controls();
    for (int i = 0; i < 5; ++i) {
        c.mnuSuggest.at(size_t(i))->setText(QString());
        c.mnuSuggest.at(size_t(i))->setVisible(false);
    }
    c.rtxtTranslated->setToolTip(QString());
    const QString word = wordOver(position);
    m_window.state().hoverWord = word;
    const HoverResult result = lookupHover(m_window.db(), word);
    for (int i = 0; i < 5; ++i) {
        c.mnuSuggest.at(size_t(i))->setText(result.captions.at(size_t(i)));
        c.mnuSuggest.at(size_t(i))->setVisible(result.visible(i));
    }
    c.rtxtTranslated->setToolTip(result.tooltip);
}

void LinksController::offerLinkMenu(const QPoint &position, Qt::MouseButton button)
{
    const QString word = wordOver(position);
    if (button != Qt::RightButton || !m_editor)
        return;
    const MainControls &c = m_window.controls();
    const QPoint global = m_editor->viewport()->mapToGlobal(position);
    if (c.mnuSuggest[0]->isVisible()) {
        runPopup(*c.mnuDropDown, global);
        return;
    }
    c.mnuAgregar->setText(addLinkCaption(word));
    runPopup(*c.mnuMante, global);
    highlightLinks();
}

void LinksController::applySuggestion(int index)
{
    if (!m_editor)
        return;
    const MainState &state = m_window.state();
    const QString caption = m_window.controls().mnuSuggest.at(size_t(index))->text();
    m_editor->setPlainTextCrLf(
        ::applySuggestion(m_editor->plainTextCrLf(), state.wordStart, state.currentWord, caption));
    highlightLinks();
}

void LinksController::mnuModificar_click()
{
    const LinkFields fields = readLinkFields(m_window.db(), m_window.state().hoverWord);
    m_window.state().editLinkMode = true;
    showLinkDialog(fields);
}

void LinksController::eraseLink()
{
    const QString word = m_window.state().hoverWord;
    if (Messages::askWarning(&m_window, eraseQuestion(word)) != Messages::Answer::Yes)
        return;
    QString error;
    if (!::eraseLink(m_window.db(), word, &error))
        Messages::inform(&m_window, error);
    highlightLinks();
}

void LinksController::addLink()
{
    m_window.state().editLinkMode = false;
    showLinkDialog(std::nullopt);
}

void LinksController::showLinkDialog(const std::optional<LinkFields> &fields)
{
    MainState &state = m_window.state();
    LinkDialog dialog(m_window.storePath(), state.hoverWord, state.editLinkMode, &m_window);
    state.linkAccepted = false;
    if (fields)
        dialog.setFields(*fields);
    runDialog(dialog);
    state.linkAccepted = dialog.linkAccepted();
    if (dialog.linkAccepted())
        state.acceptedLink = dialog.acceptedLink();
}

void LinksController::openLinksList()
{
    LinksListWindow list(m_window.storePath(),
                     [this](const QString &word) -> std::optional<LinkFields> {
                         m_window.state().hoverWord = word;
                         mnuModificar_click();
                         if (!m_window.state().linkAccepted)
                             return std::nullopt;
                         return m_window.state().acceptedLink;
                     },
                     &m_window);
    runDialog(list);
}

void LinksController::importLinksFile()
{
    const QString title = u"Import links file"_s;
    const QString filter = u"Links file (*.txt)"_s;
    const QString path = fileChooser()
        ? fileChooser()(&m_window, title, m_window.programFolder(), filter)
        : QFileDialog::getOpenFileName(&m_window, title, m_window.programFolder(), filter);
    if (path.isEmpty())
        return; // cancelled: nothing to say
    const LinksImportResult result = ::importLinksFile(m_window.db(), path);
    if (result.ok())
        Messages::inform(&m_window, LinksImportedText);
    else
        Messages::inform(&m_window, result.failureText());
    // The open block shows its newly linked words at once, not only after
    // the next load.
    highlightLinks();
}
