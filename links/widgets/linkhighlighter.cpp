#include "links/widgets/linkhighlighter.h"

#include "links/highlight.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace {

// Tells the marks made here from extra selections others add.
constexpr int LinkMarkProperty = QTextFormat::UserProperty + 17;

void markBlocks(QTextEdit *editor, const LinkGlossary &glossary, const QTextBlock &first, const QTextBlock &last)
{
    const int from = first.position();
    const int to = last.position() + last.length();
    QList<QTextEdit::ExtraSelection> selections;
    for (const QTextEdit::ExtraSelection &selection : editor->extraSelections()) {
        const int start = selection.cursor.selectionStart();
        // Marks of the lines marked anew go; a mark emptied by an edit goes too.
        if (selection.format.boolProperty(LinkMarkProperty)
            && ((start >= from && start < to) || !selection.cursor.hasSelection()))
            continue;
        selections += selection;
    }

    QTextCharFormat linked;
    linked.setForeground(QColor(0, 0, 255));
    linked.setFontWeight(QFont::Bold);
    linked.setProperty(LinkMarkProperty, true);
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        for (const LinkMark &mark : glossary.marksInLine(block.text(), block.position())) {
            QTextCursor cursor(editor->document());
            cursor.setPosition(int(mark.start));
            cursor.setPosition(int(mark.start + mark.length), QTextCursor::KeepAnchor);
            selections += QTextEdit::ExtraSelection{cursor, linked};
        }
        if (block == last)
            break;
    }
    editor->setExtraSelections(selections);
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
