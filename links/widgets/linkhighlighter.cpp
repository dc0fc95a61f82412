#include "links/widgets/linkhighlighter.h"

#include "links/highlight.h"

#include <QPointer>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QPlainTextEdit>

#include <algorithm>
#include <utility>

namespace {

// Tells the marks made here from extra selections others add.
constexpr int LinkMarkProperty = QTextFormat::UserProperty + 17;

// The link marks last set on an editor, kept beside it as cursors that
// follow its edits as the editor's own do: a key that leaves its line's marks
// as they were is told so without copying every extra selection (the checks'
// underlines among them) out of the editor.
class LinkMarkRecord : public QObject
{
public:
    explicit LinkMarkRecord(QPlainTextEdit *editor)
        : QObject(editor)
    {
        setObjectName(RecordName);
    }
    static constexpr QLatin1StringView RecordName{"linkMarkRecord"};

    const QTextDocument *document = nullptr;
    QList<QTextCursor> marks;
};

LinkMarkRecord *recordOf(QPlainTextEdit *editor)
{
    // Every key asks for the record of the same editor: the last one found
    // is kept rather than sought by name among the editor's children again.
    static QPointer<LinkMarkRecord> last;
    if (last && last->parent() == editor)
        return last;
    QObject *found = editor->findChild<QObject *>(LinkMarkRecord::RecordName, Qt::FindDirectChildrenOnly);
    auto *record = dynamic_cast<LinkMarkRecord *>(found);
    last = record ? record : new LinkMarkRecord(editor);
    return last;
}

// The marks of the lines marked anew go; a mark emptied by an edit goes too.
bool goes(const QTextCursor &mark, int from, int to)
{
    const int start = mark.selectionStart();
    return (start >= from && start < to) || !mark.hasSelection();
}

// Whether the marks that go are the ones `after` puts back (sorted).
bool sameMarks(const QList<QTextCursor> &marks, int from, int to, const QList<std::pair<int, int>> &after)
{
    QList<std::pair<int, int>> before;
    for (const QTextCursor &mark : marks) {
        if (!goes(mark, from, to))
            continue;
        if (!mark.hasSelection())
            return false;
        before.append({mark.selectionStart(), mark.selectionEnd()});
    }
    std::sort(before.begin(), before.end());
    return before == after;
}

void markBlocks(QPlainTextEdit *editor, const LinkGlossary &glossary, const QTextBlock &first, const QTextBlock &last)
{
    const int from = first.position();
    const int to = last.position() + last.length();
    QList<std::pair<int, int>> after;
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        for (const LinkMark &mark : glossary.marksInLine(block.text(), block.position()))
            after.append({int(mark.start), int(mark.start + mark.length)});
        if (block == last)
            break;
    }
    std::sort(after.begin(), after.end());

    // Most keys leave the line's marks where they were: setting the same
    // selections again would only make the editor measure and repaint them.
    LinkMarkRecord *record = recordOf(editor);
    if (record->document == editor->document() && sameMarks(record->marks, from, to, after))
        return;

    QList<QTextEdit::ExtraSelection> selections = editor->extraSelections();
    const auto isLinkMark = [](const QTextEdit::ExtraSelection &selection) {
        return selection.format.boolProperty(LinkMarkProperty);
    };
    // The editor's own marks, when the record was of another document or is stale.
    const auto remember = [&] {
        record->document = editor->document();
        record->marks.clear();
        for (const QTextEdit::ExtraSelection &selection : std::as_const(selections)) {
            if (isLinkMark(selection))
                record->marks.append(selection.cursor);
        }
    };
    remember();
    if (sameMarks(record->marks, from, to, after))
        return;

    selections.removeIf([&](const QTextEdit::ExtraSelection &selection) {
        return isLinkMark(selection) && goes(selection.cursor, from, to);
    });
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
    remember();
}

} // namespace

void highlightLinks(QPlainTextEdit *editor, const LinkGlossary &glossary)
{
    const QTextDocument *doc = editor->document();
    markBlocks(editor, glossary, doc->firstBlock(), doc->lastBlock());
}

void highlightLinksInLine(QPlainTextEdit *editor, const LinkGlossary &glossary)
{
    const QTextBlock block = editor->document()->findBlock(editor->textCursor().selectionStart());
    if (block.isValid())
        markBlocks(editor, glossary, block, block);
}
