#pragma once

#include <QString>

class QPlainTextEdit;
class QTextDocument;
class QTextEdit;

// A text put into an editor and read back with lines separated by CR LF, as
// the store keeps it. The editors hold their own line breaks and turn some
// characters into others (a lone LF becomes a line break), so a text read
// back unchanged is handed out exactly as it was put in: an untouched block
// goes back to the store byte for byte.
class ShownText
{
public:
    // show() starts the editor's undo history anew; edit() is one step of it.
    void show(QTextEdit *editor, const QString &text);
    void show(QPlainTextEdit *editor, const QString &text);
    void edit(QPlainTextEdit *editor, const QString &text);
    QString read(const QTextDocument *document) const;

    // The document's characters with CR LF between lines, no-break spaces kept.
    static QString documentText(const QTextDocument *document);

private:
    void remember(const QTextDocument *document, const QString &text);

    QString m_given;
    QString m_shown;
};
