#include "links/widgets/linkhighlighter.h"

#include "links/highlight.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <utility>

namespace {

// Tells the marks made here from extra selections others add.
constexpr int LinkMarkProperty = QTextFormat::UserProperty + 17;

void markBlocks(QTextEdit *editor, const LinkGlossary &glossary, const QTextBlock &first, const QTextBlock &last)
{
    const int from = first.position();
    const int to = last.position() + last.length();
    QList<QTextEdit::ExtraSelection> selections;
    QList<std::pair<int, int>> before; // the marks that go, to tell whether anything changes
    bool emptied = false;
    for (const QTextEdit::ExtraSelection &selection : editor->extraSelections()) {
        const int start = selection.cursor.selectionStart();
        // Marks of the lines marked anew go; a mark emptied by an edit goes too.
        if (selection.format.boolProperty(LinkMarkProperty)
            && ((start >= from && start < to) || !selection.cursor.hasSelection())) {
            emptied |= !selection.cursor.hasSelection();
            before.append({start, selection.cursor.selectionEnd()});
            continue;
        }
        selections += selection;
    }

    QList<std::pair<int, int>> after;
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        for (const LinkMark &mark : glossary.marksInLine(block.text(), block.position()))
            after.append({int(mark.start), int(mark.start + mark.length)});
        if (block == last)
            break;
    }
    // Most keys leave the line's marks where they were: setting the same
    // selections again would only make the editor measure and repaint them.
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    if (!emptied && before == after)
        return;

    QTextCharFormat linked;
    linked.setForeground(QColor(0, 0, 255));
    linked.setFontWeight(QFont::Bold);
    linked.setProperty(LinkMarkProperty, true);
    for (const auto &[start, end] : std::as_const(after)) {
        QTextCursor cursor(editor->document());
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        selections += QTextEdit::ExtraSelection{cursor, linked};
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
