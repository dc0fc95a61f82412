#include "links/widgets/linkdialog.h"

#include "ui/messages.h"
#include "keeping/projectstore.h"
#include "ui_linkdialog.h"

using namespace Qt::StringLiterals;

LinkDialog::LinkDialog(ProjectStore &store, const QString &hoverWord, bool editLinkMode, QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::LinkDialog>())
    , m_store(store)
    , m_hoverWord(hoverWord)
    , m_editLinkMode(editLinkMode)
{
    m_ui->setupUi(this);
    m_wordBoxes = {m_ui->txtWord0, m_ui->txtWord1, m_ui->txtWord2, m_ui->txtWord3, m_ui->txtWord4};
    connect(m_ui->cmdAceptar, &QPushButton::clicked, this, &LinkDialog::acceptLink);
    connect(m_ui->cmdCancelar, &QPushButton::clicked, this, &LinkDialog::cancel);
    setWindowTitle(windowTitle() + u" \""_s + m_hoverWord + u'"');
}

LinkDialog::~LinkDialog() = default;

QLineEdit *LinkDialog::commentBox() const
{
    return m_ui->txtComment;
}

void LinkDialog::setFields(const LinkFields &fields)
{
    for (int i = 0; i < 5; ++i)
        m_wordBoxes.at(size_t(i))->setText(fields.at(size_t(i)));
    m_ui->txtComment->setText(fields[5]);
}

LinkFields LinkDialog::fields() const
{
    LinkFields fields;
    for (int i = 0; i < 5; ++i)
        fields[size_t(i)] = m_wordBoxes.at(size_t(i))->text();
    fields[5] = m_ui->txtComment->text();
    return fields;
}

void LinkDialog::acceptLink()
{
    if (m_wordBoxes[0]->text().isEmpty()) {
        Messages::inform(this, FirstWordMissingText);
        return;
    }
    const LinkFields typed = fields();
    if (const Result<Done> saved = m_store.saveLink(m_hoverWord, typed, m_editLinkMode); !saved) {
        // Nothing was written: the dialog stays open with what was typed.
        Messages::inform(this, saved.error().message);
        return;
    }
    // Accepted only once the row is written, so the links list never shows
    // a line the table does not hold.
    m_acceptedLink = typed;
    m_linkAccepted = true;
    accept();
}

void LinkDialog::cancel()
{
    reject();
}
