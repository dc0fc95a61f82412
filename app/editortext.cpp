#include "app/editortext.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

using namespace Qt::StringLiterals;

void ShownText::show(QTextEdit *editor, const QString &text)
{
    editor->setPlainText(text);
    remember(editor->document(), text);
}

void ShownText::edit(QPlainTextEdit *editor, const QString &text)
{
    QTextCursor cursor(editor->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(text, QTextCharFormat());
    cursor.endEditBlock();
    remember(editor->document(), text);
}

void ShownText::show(QPlainTextEdit *editor, const QString &text)
{
    editor->setPlainText(text);
    remember(editor->document(), text);
}

void ShownText::remember(const QTextDocument *document, const QString &text)
{
    m_given = text;
    m_shown = documentText(document);
}

QString ShownText::read(const QTextDocument *document) const
{
    const QString now = documentText(document);
    return now == m_shown ? m_given : now;
}

QString ShownText::documentText(const QTextDocument *document)
{
    // toPlainText() would turn no-break spaces into blanks; the raw text
    // keeps them and marks line breaks with the Unicode separators.
    QString text = document->toRawText();
    QString out;
    out.reserve(text.size() + text.size() / 16);
    for (const QChar c : std::as_const(text)) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == u'\n')
            out += u"\r\n"_s;
        else
            out += c;
    }
    return out;
}
