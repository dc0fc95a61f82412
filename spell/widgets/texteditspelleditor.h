#pragma once

#include "spell/spellcheck.h"

class QPlainTextEdit;

// The translated editor (a QPlainTextEdit) as the spell check sees it. Positions
// are the editor's own: one character per line break.
class TextEditSpellEditor : public SpellEditor
{
public:
    explicit TextEditSpellEditor(QPlainTextEdit *editor);

    QString text() const override;
    qsizetype selectionStart() const override;
    void select(qsizetype start, qsizetype length) override;
    QString selectedText() const override;
    void setText(const QString &text) override;

private:
    QPlainTextEdit *m_editor;
};
