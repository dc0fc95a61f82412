#include "app/editorcontroller.h"

#include "app/mainwindow.h"
#include "app/previewcontroller.h"
#include "editor/logging.h"
#include "editor/widgets/translatededit.h"
#include "editor/windowresize.h"
#include "store/scripttreemodel.h"

#include <QAction>
#include <QFrame>
#include <QTreeView>

using namespace Qt::StringLiterals;

EditorController::EditorController(MainWindow &window, PreviewController &preview)
    : QObject(&window)
    , m_window(window)
    , m_preview(preview)
    , m_editor(qobject_cast<TranslatedEdit *>(window.controls().rtxtTranslated))
{
    setObjectName(u"editorController"_s);
    const struct
    {
        Command command;
        QString text;
    } inserts[] = {
        {Command::InsertNew, u"<New>\r\n"_s},
        {Command::InsertWait, u"<Wait>\r\n"_s},
        {Command::InsertDelay, u"<Delay >"_s},
        {Command::InsertSpace, u"<Space >"_s},
        {Command::InsertOpcode, u"<Opcode >"_s},
        {Command::InsertClose, u"<Close><End of Block>"_s},
    };
    for (const auto &insert : inserts)
        window.setCommand(insert.command, [this, text = insert.text] { insertTag(text); });
    window.setCommand(Command::Guide28, [this] { toggleGuide(true); });
    window.setCommand(Command::Guide32, [this] { toggleGuide(false); });

    if (m_editor)
        connect(m_editor, &TranslatedEdit::keyDown, this, &EditorController::keyDown);
}

void EditorController::insertTag(const QString &text)
{
    if (!m_editor || !m_editor->isEnabled())
        return;
    m_editor->insertTag(text);
}

void EditorController::toggleGuide(bool guide28)
{
    const MainControls &c = m_window.controls();
    QFrame *line = guide28 ? c.li28 : c.li32;
    QAction *entry = guide28 ? c.mnu28 : c.mnu32;
    // The line's own state decides, so the menu's automatic check toggle and
    // a command started elsewhere agree.
    const bool show = line->isHidden();
    line->setVisible(show);
    entry->setChecked(show);
}

std::optional<BlockAddress> EditorController::selectedBlock() const
{
    const QTreeView *tree = m_window.controls().Scripts;
    if (!tree || !tree->currentIndex().isValid())
        return std::nullopt;
    return parseBlockKey(tree->currentIndex().data(ScriptTreeModel::KeyRole).toString());
}

void EditorController::keyDown(int key, Qt::KeyboardModifiers modifiers)
{
    // The word links of the caret's line were marked on keyDownLinks.
    const auto block = selectedBlock();
    if (!block || !isResizableTable(block->table))
        return;
    if (const auto resizeKey = resizeKeyFor(key, modifiers)) {
        MainState &state = m_window.state();
        // Draws still pending belong to the old size.
        m_preview.flush();
        const WindowResize resized = resizeWindow(*block, state.currentWidth, state.currentHeight, *resizeKey);
        if (!resized.statement.isEmpty()) {
            state.currentWidth = resized.width;
            state.currentHeight = resized.height;
            if (!m_window.db().execute(resized.statement))
                qCWarning(lcEditor) << "Storing the window size failed:" << m_window.db().lastError().message;
        }
        m_preview.redrawPreview();
        return;
    }
    m_preview.requestKeyRedraw();
}
