#include "spell/widgets/spellingdialog.h"

#include "ui_spellingdialog.h"

#include <QTextCharFormat>
#include <QTextCursor>

SpellingDialog::SpellingDialog(QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::SpellingDialog>())
{
    m_ui->setupUi(this);
    connect(m_ui->cmdIgnoreOnce, &QPushButton::clicked, this, [this] { answerWith(SpellAnswer::IgnoreOnce); });
    connect(m_ui->cmdIgnoreAll, &QPushButton::clicked, this, [this] { answerWith(SpellAnswer::IgnoreAll); });
    connect(m_ui->cmdAdd, &QPushButton::clicked, this, [this] { answerWith(SpellAnswer::AddToDictionary); });
    connect(m_ui->cmdChange, &QPushButton::clicked, this, [this] { answerWith(SpellAnswer::Change); });
    connect(m_ui->cmdChangeAll, &QPushButton::clicked, this, [this] { answerWith(SpellAnswer::ChangeAll); });
    connect(m_ui->cmdCancel, &QPushButton::clicked, this, [this] { answerWith(SpellAnswer::Cancel); });
    connect(m_ui->lstSuggestions, &QListWidget::currentTextChanged, m_ui->txtChangeTo, &QLineEdit::setText);
    connect(m_ui->lstSuggestions, &QListWidget::itemDoubleClicked, this, [this] { answerWith(SpellAnswer::Change); });
}

SpellingDialog::~SpellingDialog() = default;

void SpellingDialog::prepare(const SpellQuestion &question)
{
    // Closing the window any other way means Cancel.
    m_answer = {SpellAnswer::Cancel, {}};

    m_ui->txtSentence->setPlainText(question.sentence);
    QTextCursor cursor(m_ui->txtSentence->document());
    cursor.setPosition(int(question.wordStart));
    cursor.setPosition(int(question.wordStart + question.word.size()), QTextCursor::KeepAnchor);
    QTextCharFormat marked;
    marked.setForeground(Qt::red);
    marked.setFontWeight(QFont::Bold);
    marked.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    marked.setUnderlineColor(Qt::red);
    cursor.mergeCharFormat(marked);
    m_ui->txtSentence->setTextCursor(cursor);
    m_ui->txtSentence->ensureCursorVisible();

    m_ui->lstSuggestions->clear();
    m_ui->lstSuggestions->addItems(question.suggestions);
    const bool any = !question.suggestions.isEmpty();
    if (any)
        m_ui->lstSuggestions->setCurrentRow(0);
    // Without a suggestion the word itself stands there to be corrected by hand.
    m_ui->txtChangeTo->setText(any ? question.suggestions.first() : question.word);
    m_ui->txtChangeTo->setFocus();
    m_ui->txtChangeTo->selectAll();
}

SpellAnswer SpellingDialog::ask(const SpellQuestion &question)
{
    prepare(question);
    exec();
    return m_answer;
}

void SpellingDialog::answerWith(SpellAnswer::Action action)
{
    m_answer = {action, m_ui->txtChangeTo->text()};
    if (action == SpellAnswer::Cancel)
        reject();
    else
        accept();
}
