#include "spell/widgets/texteditspelleditor.h"

#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QPlainTextEdit>

TextEditSpellEditor::TextEditSpellEditor(QPlainTextEdit *editor)
    : m_editor(editor)
{
}

QString TextEditSpellEditor::text() const
{
    return m_editor->toPlainText();
}

qsizetype TextEditSpellEditor::selectionStart() const
{
    return m_editor->textCursor().selectionStart();
}

void TextEditSpellEditor::select(qsizetype start, qsizetype length)
{
    QTextCursor cursor = m_editor->textCursor();
    cursor.setPosition(int(start));
    cursor.setPosition(int(start + length), QTextCursor::KeepAnchor);
    m_editor->setTextCursor(cursor);
}

QString TextEditSpellEditor::selectedText() const
{
    // selectedText() would hand paragraph separators (U+2029) over.
    return m_editor->textCursor().selection().toPlainText();
}

void TextEditSpellEditor::setText(const QString &text)
{
    // One edit over the whole text, so that the correction can be undone.
    QTextCursor cursor(m_editor->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(text, QTextCharFormat());
    cursor.endEditBlock();
}
