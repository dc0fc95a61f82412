#include "app/editorcontroller.h"

#include "app/openblock.h"

#include "app/windowsize.h"
#include "editor/logging.h"
#include "editor/widgets/translatededit.h"
#include "editor/windowresize.h"
#include "store/database.h"
#include "store/widgets/scripttreemodel.h"

#include <QAction>
#include <QFrame>
#include <QTreeView>

EditorController::EditorController(TranslatedEdit &translation, QTreeView &tree, const Guides &guides,
                                   OpenBlock &open, Database &db, QObject *parent)
    : QObject(parent)
    , m_editor(translation)
    , m_tree(tree)
    , m_guides(guides)
    , m_open(open)
    , m_db(db)
{
    connect(&m_editor, &TranslatedEdit::keyDown, this, &EditorController::keyDown);
}

void EditorController::insertTag(const QString &text)
{
    if (m_editor.isEnabled())
        m_editor.insertTag(text);
}

void EditorController::toggleGuide(QFrame *line, QAction *entry)
{
    // The line's own state decides, so the menu's automatic check toggle and
    // a command started elsewhere agree.
    const bool show = line->isHidden();
    line->setVisible(show);
    entry->setChecked(show);
}

void EditorController::keyDown(int key, Qt::KeyboardModifiers modifiers)
{
    // The word links of the caret's line were marked on keyDownLinks.
    const QModelIndex node = m_tree.currentIndex();
    const auto block = node.isValid() ? parseBlockKey(node.data(ScriptTreeModel::KeyRole).toString()) : std::nullopt;
    if (!block || !isResizableTable(block->table))
        return;
    if (const auto resizeKey = resizeKeyFor(key, modifiers)) {
        emit aboutToResize();
        const WindowSize &size = m_open.windowSize();
        const WindowResize resized = resizeWindow(*block, size.width, size.height, *resizeKey);
        if (!resized.statement.isEmpty()) {
            m_open.setWindowSize({resized.width, resized.height});
            if (const Result<QVariant> stored = m_db.execute(resized.statement); !stored)
                qCWarning(lcEditor) << "Storing the window size failed:" << stored.error().message;
        }
        emit this->resized();
        return;
    }
    emit fieldBlockKeyDown();
}
