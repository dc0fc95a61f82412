#pragma once

#include <QPlainTextEdit>

class QMimeData;

// rtxtTranslated: the editor of the open block's translation. Plain text:
// its layout places only the edited line on a key, where a rich-text editor
// would place every line below it again.
//
// Positions count a line break as two characters (CR LF), as the stored,
// previewed and exported text does, whatever the document holds inside.
//
// Key handling: a key press first emits keyDownLinks (word-link marking of
// the caret's line), then keyDown (window resizing and the preview), and only
// then reaches the editor, with a typed apostrophe turned into a grave accent.
class TranslatedEdit : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit TranslatedEdit(QWidget *parent = nullptr);

    // The text with CR LF line breaks, and setting it so (formatting is lost).
    // setPlainTextCrLf starts a new undo history (a block is loaded);
    // replaceTextCrLf is an edit of the user's, one step to undo.
    QString plainTextCrLf() const { return m_text; }
    void setPlainTextCrLf(const QString &text);
    void replaceTextCrLf(const QString &text);

    // The caret is the start of the selection.
    int caretPosition() const;
    void setCaretPosition(int position);
    // The CR LF index of the character nearest to a point of the viewport.
    int characterIndexAt(const QPoint &viewportPoint) const;
    // A cursor over `length` characters from `start`, CR LF positions.
    QTextCursor rangeCursor(int start, int length) const;

    // insertTagAt at the caret, without replacing a selection, as one undo
    // step. False when nothing was inserted.
    bool insertTag(const QString &tag);

signals:
    void keyDownLinks(int key, Qt::KeyboardModifiers modifiers);
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    // The characters changed (formatting alone does not count).
    void translatedTextChanged();
    // Viewport coordinates.
    void mouseMoved(const QPoint &position, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
    void mouseReleased(const QPoint &position, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    void documentChanged(int position, int removed, int added);
    QString wholeTextCrLf() const;
    int crLfPosition(int documentPosition) const;
    // A position between a CR and its LF maps to the end of that line.
    int documentPosition(int crLfPosition) const;
    QTextBlock blockAtCrLf(int crLfPosition) const;
    static int crLfStart(const QTextBlock &block);

    class LineLayout;
    LineLayout *m_layout = nullptr; // owned by the document
    QString m_text;
};
