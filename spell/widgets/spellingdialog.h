#pragma once

#include "spell/spellingservice.h"

#include <QDialog>

#include <memory>

namespace Ui {
class SpellingDialog;
}

// The interactive spell check, laid out as word processors lay theirs out:
// the sentence with the unknown word marked, the suggestions, and the
// buttons that decide what happens to the word.
class SpellingDialog : public QDialog, public SpellCheckDialog
{
    Q_OBJECT

public:
    explicit SpellingDialog(QWidget *parent = nullptr);
    ~SpellingDialog() override;

    // Shows the question modally and returns the translator's answer.
    SpellAnswer ask(const SpellQuestion &question) override;

    // The two halves of ask(), apart so that tests can press the buttons.
    void prepare(const SpellQuestion &question);
    SpellAnswer answer() const { return m_answer; }

private:
    void answerWith(SpellAnswer::Action action);

    std::unique_ptr<Ui::SpellingDialog> m_ui;
    SpellAnswer m_answer;
};
