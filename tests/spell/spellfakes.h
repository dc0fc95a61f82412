#pragma once

#include "spell/clipboard.h"
#include "spell/spellcheck.h"
#include "spell/spellingservice.h"

#include <QStringList>

#include <deque>

// Stand-ins for the clipboard, the editor and the person at the dialog.
class FakeClipboard : public TextClipboard
{
public:
    void clear() override { m_text.clear(); }
    void setText(const QString &text) override { m_text = text; }
    QString text() const override { return m_text; }

private:
    QString m_text;
};

class FakeEditor : public SpellEditor
{
public:
    QString text() const override { return m_text; }
    qsizetype selectionStart() const override { return m_start; }
    void select(qsizetype start, qsizetype length) override
    {
        m_start = start;
        m_length = length;
    }
    QString selectedText() const override { return m_text.mid(m_start, m_length); }
    void setText(const QString &text) override
    {
        m_text = text;
        m_start = m_length = 0;
    }

    QString m_text;
    qsizetype m_start = 0;
    qsizetype m_length = 0;
};

// Answers the check's questions in turn (Cancel once they run out) and
// keeps what it was asked.
class ScriptedDialog : public SpellCheckDialog
{
public:
    SpellAnswer ask(const SpellQuestion &question) override
    {
        questions.push_back(question);
        words << question.word;
        if (answers.empty())
            return {SpellAnswer::Cancel, {}};
        const SpellAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::deque<SpellAnswer> answers;
    std::vector<SpellQuestion> questions;
    QStringList words;
};
