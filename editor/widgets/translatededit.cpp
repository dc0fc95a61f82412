#include "editor/widgets/translatededit.h"

#include "editor/tags.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QPlainTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Line breaks of any kind become the document's own paragraph breaks.
QString toDocumentText(QString text)
{
    text.replace(u"\r\n"_s, u"\n"_s);
    text.replace(u'\r', u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

} // namespace

// Qt's plain-text layout takes `removed + added` characters from `from` for
// the changed span. The spell underline's reformatting of the edited line
// joins the key's change as the whole line removed and put back, so that
// span runs into the next line and every key would repaint the whole editor.
// Only an edit that added and removed no line break is narrowed to its line:
// one that did may have left another line's layout behind, which Qt's own
// wider span clears.
class TranslatedEdit::LineLayout : public QPlainTextDocumentLayout
{
public:
    using QPlainTextDocumentLayout::QPlainTextDocumentLayout;

    // The edit just made stayed inside this line; -1: it did not.
    void setEditedLine(int blockNumber) { m_editedLine = blockNumber; }

protected:
    void documentChanged(int from, int removed, int added) override
    {
        const QTextBlock line = document()->findBlock(from);
        const bool inLine = m_editedLine >= 0 && line.blockNumber() == m_editedLine
            && from + added <= line.position() + line.length();
        m_editedLine = -1;
        if (inLine)
            QPlainTextDocumentLayout::documentChanged(from, 0, std::max(added, 1));
        else
            QPlainTextDocumentLayout::documentChanged(from, removed, added);
    }

private:
    int m_editedLine = -1;
};

TranslatedEdit::TranslatedEdit(QWidget *parent)
    : QPlainTextEdit(parent)
{
    auto *doc = new QTextDocument(this);
    m_layout = new LineLayout(doc);
    doc->setDocumentLayout(m_layout);
    setDocument(doc);
    viewport()->setMouseTracking(true);
    // The right button belongs to the word-link menus.
    setContextMenuPolicy(Qt::PreventContextMenu);
    connect(document(), &QTextDocument::contentsChange, this, &TranslatedEdit::documentChanged);
}

QString TranslatedEdit::wholeTextCrLf() const
{
    QString text;
    text.reserve(m_text.size() + 8);
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block != document()->begin())
            text += u"\r\n"_s;
        text += block.text();
    }
    return text;
}

void TranslatedEdit::documentChanged(int position, int removed, int added)
{
    // Only the changed span is mapped, so a key costs the same in a long
    // block as in a short one. Qt may count the document's closing paragraph
    // (or one character more at the start) in both counts; the spans are
    // clamped to the texts and an unchanged character replaced by itself is
    // harmless.
    const QTextDocument *doc = document();
    const int documentLength = doc->characterCount() - 1;
    position = std::clamp(position, 0, documentLength);
    const QTextBlock first = doc->findBlock(position);
    const qsizetype start = std::min<qsizetype>(position + (first.isValid() ? first.blockNumber() : 0), m_text.size());

    // The old span: `removed` document characters, a CR LF being one.
    qsizetype end = start;
    for (int i = 0; i < removed && end < m_text.size(); ++i)
        end += m_text[end] == u'\r' && end + 1 < m_text.size() && m_text[end + 1] == u'\n' ? 2 : 1;

    QString replacement;
    const int addedEnd = std::min(position + std::max(added, 0), documentLength);
    for (QTextBlock block = first; block.isValid() && block.position() <= addedEnd; block = block.next()) {
        if (block != first)
            replacement += u"\r\n"_s;
        const int from = std::max(position, block.position()) - block.position();
        const int to = std::min(addedEnd, block.position() + block.length() - 1) - block.position();
        replacement += QStringView(block.text()).mid(from, std::max(0, to - from));
    }

    const QStringView replaced = QStringView(m_text).mid(start, end - start);
    const bool inLine = !replaced.contains(u'\n') && !replacement.contains(u'\n');
    m_layout->setEditedLine(inLine ? first.blockNumber() : -1);
    if (replaced == replacement)
        return; // formatting alone
    m_text.replace(start, end - start, replacement);
    // One CR LF per line break: a length that disagrees means the counts
    // were not what they seemed, and the whole text is read again.
    if (m_text.size() != qsizetype(documentLength) + doc->blockCount() - 1)
        m_text = wholeTextCrLf();
    emit translatedTextChanged();
}

void TranslatedEdit::setPlainTextCrLf(const QString &text)
{
    setPlainText(toDocumentText(text));
}

int TranslatedEdit::crLfStart(const QTextBlock &block)
{
    return block.position() + block.blockNumber();
}

QTextBlock TranslatedEdit::blockAtCrLf(int crLfPosition) const
{
    // A line's CR LF start is never below its document start, so the block
    // holding the same number as a document position is at or after it.
    QTextBlock block = document()->findBlock(std::max(0, crLfPosition));
    if (!block.isValid())
        block = document()->lastBlock();
    while (block.blockNumber() > 0 && crLfStart(block) > crLfPosition)
        block = block.previous();
    return block;
}

int TranslatedEdit::crLfPosition(int documentPosition) const
{
    const QTextBlock block = document()->findBlock(documentPosition);
    if (!block.isValid())
        return int(m_text.size());
    return documentPosition + block.blockNumber();
}

int TranslatedEdit::documentPosition(int crLfPosition) const
{
    const QTextBlock block = blockAtCrLf(crLfPosition);
    const int offset = std::clamp(crLfPosition - crLfStart(block), 0, block.length() - 1);
    return block.position() + offset;
}

int TranslatedEdit::caretPosition() const
{
    return crLfPosition(textCursor().selectionStart());
}

void TranslatedEdit::setCaretPosition(int position)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(documentPosition(position));
    setTextCursor(cursor);
}

int TranslatedEdit::characterIndexAt(const QPoint &viewportPoint) const
{
    return crLfPosition(cursorForPosition(viewportPoint).position());
}

QTextCursor TranslatedEdit::rangeCursor(int start, int length) const
{
    QTextCursor cursor(document());
    cursor.setPosition(documentPosition(start));
    cursor.setPosition(documentPosition(start + length), QTextCursor::KeepAnchor);
    return cursor;
}

bool TranslatedEdit::insertTag(const QString &tag)
{
    const auto inserted = insertTagAt(m_text, caretPosition(), tag);
    if (!inserted)
        return false;
    replaceTextCrLf(inserted->text);
    setCaretPosition(inserted->caret);
    return true;
}

void TranslatedEdit::replaceTextCrLf(const QString &text)
{
    // The whole text is set anew, so link marks go until they are marked
    // again; as one edit it stays a single undo step.
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(toDocumentText(text), QTextCharFormat());
    cursor.endEditBlock();
}

void TranslatedEdit::keyPressEvent(QKeyEvent *event)
{
    emit keyDownLinks(event->key(), event->modifiers());
    emit keyDown(event->key(), event->modifiers());

    const bool shiftReturn = (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && event->modifiers().testFlag(Qt::ShiftModifier);
    if (event->text().contains(u'\'') || shiftReturn) {
        // Apostrophes never reach the text: the store keeps grave accents in
        // their place. Shift+Return would make a soft break the stored text
        // has no place for; it breaks the line like Return.
        QString text = event->text();
        text.replace(u'\'', u'`');
        const int key = event->key() == Qt::Key_Apostrophe ? int(Qt::Key_QuoteLeft) : event->key();
        const Qt::KeyboardModifiers modifiers =
            shiftReturn ? event->modifiers() & ~Qt::ShiftModifier : event->modifiers();
        QKeyEvent changed(event->type(), key, modifiers, text, event->isAutoRepeat(), ushort(event->count()));
        QPlainTextEdit::keyPressEvent(&changed);
        event->setAccepted(changed.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TranslatedEdit::mouseMoveEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseMoveEvent(event);
    emit mouseMoved(event->position().toPoint(), event->buttons(), event->modifiers());
}

void TranslatedEdit::mouseReleaseEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseReleaseEvent(event);
    emit mouseReleased(event->position().toPoint(), event->button(), event->modifiers());
}

void TranslatedEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source || !source->hasText())
        return;
    QTextCursor cursor = textCursor();
    cursor.insertText(toDocumentText(source->text()));
    setTextCursor(cursor);
    ensureCursorVisible();
}
