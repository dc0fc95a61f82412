#include "links/widgets/linkhighlighter.h"

#include "links/highlight.h"

#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace {

void markBlocks(QTextEdit *editor, const LinkGlossary &glossary, const QTextBlock &first, const QTextBlock &last)
{
    QTextDocument *doc = editor->document();
    const bool updates = editor->updatesEnabled();
    const bool modified = doc->isModified();
    const bool undo = doc->isUndoRedoEnabled();
    editor->setUpdatesEnabled(false);
    {
        const QSignalBlocker blocker(doc);
        // Re-marking must not become a step that an undo stops at; Ctrl+Z is
        // Exit in this program, so the editor's own history is worth less
        // than an undo that would only take colours back.
        doc->setUndoRedoEnabled(false);

        QTextCharFormat plain;
        plain.setForeground(QColor(0, 0, 0));
        plain.setFontWeight(QFont::Normal);
        QTextCharFormat linked;
        linked.setForeground(QColor(0, 0, 255));
        linked.setFontWeight(QFont::Bold);

        QTextCursor cursor(doc);
        cursor.beginEditBlock();
        cursor.setPosition(first.position());
        cursor.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(plain);
        for (QTextBlock block = first; block.isValid(); block = block.next()) {
            for (const LinkMark &mark : glossary.marksInLine(block.text(), block.position())) {
                cursor.setPosition(int(mark.start));
                cursor.setPosition(int(mark.start + mark.length), QTextCursor::KeepAnchor);
                cursor.mergeCharFormat(linked);
            }
            if (block == last)
                break;
        }
        cursor.endEditBlock();

        doc->setUndoRedoEnabled(undo);
        doc->setModified(modified);
    }
    editor->setUpdatesEnabled(updates);
}

} // namespace

void highlightLinks(QTextEdit *editor, const LinkGlossary &glossary)
{
    const QTextDocument *doc = editor->document();
    markBlocks(editor, glossary, doc->firstBlock(), doc->lastBlock());
}

void highlightLinksInLine(QTextEdit *editor, const LinkGlossary &glossary)
{
    const QTextBlock block = editor->document()->findBlock(editor->textCursor().selectionStart());
    if (block.isValid())
        markBlocks(editor, glossary, block, block);
}
