#include "spell/widgets/spellingdialog.h"

#include "ui_spellingdialog.h"

#include <QTextCharFormat>
#include <QTextCursor>

SpellingDialog::SpellingDialog(QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::SpellingDialog>())
{
    m_ui->setupUi(this);
    connect(m_ui->ignoreOnceButton, &QPushButton::clicked, this, [this] { answerWith(SpellAnswer::IgnoreOnce); });
    connect(m_ui->ignoreAllButton, &QPushButton::clicked, this, [this] { answerWith(SpellAnswer::IgnoreAll); });
    connect(m_ui->addButton, &QPushButton::clicked, this, [this] { answerWith(SpellAnswer::AddToDictionary); });
    connect(m_ui->changeButton, &QPushButton::clicked, this, [this] { answerWith(SpellAnswer::Change); });
    connect(m_ui->changeAllButton, &QPushButton::clicked, this, [this] { answerWith(SpellAnswer::ChangeAll); });
    connect(m_ui->cancelButton, &QPushButton::clicked, this, [this] { answerWith(SpellAnswer::Cancel); });
    connect(m_ui->suggestionsList, &QListWidget::currentTextChanged, m_ui->changeToBox, &QLineEdit::setText);
    connect(m_ui->suggestionsList, &QListWidget::itemDoubleClicked, this, [this] { answerWith(SpellAnswer::Change); });
}

SpellingDialog::~SpellingDialog() = default;

void SpellingDialog::prepare(const SpellQuestion &question)
{
    // Closing the window any other way means Cancel.
    m_answer = {SpellAnswer::Cancel, {}};

    m_ui->sentenceView->setPlainText(question.sentence);
    QTextCursor cursor(m_ui->sentenceView->document());
    cursor.setPosition(int(question.wordStart));
    cursor.setPosition(int(question.wordStart + question.word.size()), QTextCursor::KeepAnchor);
    QTextCharFormat marked;
    marked.setForeground(Qt::red);
    marked.setFontWeight(QFont::Bold);
    marked.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    marked.setUnderlineColor(Qt::red);
    cursor.mergeCharFormat(marked);
    m_ui->sentenceView->setTextCursor(cursor);
    m_ui->sentenceView->ensureCursorVisible();

    m_ui->suggestionsList->clear();
    m_ui->suggestionsList->addItems(question.suggestions);
    const bool any = !question.suggestions.isEmpty();
    if (any)
        m_ui->suggestionsList->setCurrentRow(0);
    // Without a suggestion the word itself stands there to be corrected by hand.
    m_ui->changeToBox->setText(any ? question.suggestions.first() : question.word);
    m_ui->changeToBox->setFocus();
    m_ui->changeToBox->selectAll();
}

SpellAnswer SpellingDialog::ask(const SpellQuestion &question)
{
    prepare(question);
    exec();
    return m_answer;
}

void SpellingDialog::answerWith(SpellAnswer::Action action)
{
    m_answer = {action, m_ui->changeToBox->text()};
    if (action == SpellAnswer::Cancel)
        reject();
    else
        accept();
}
