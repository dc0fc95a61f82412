#include "memory/widgets/repeatsdialog.h"

#include "ui_repeatsdialog.h"

using namespace Qt::StringLiterals;

RepeatsDialog::RepeatsDialog(const Repeats &repeats, QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::RepeatsDialog>())
{
    m_ui->setupUi(this);
    for (const Repeat &repeat : repeats.blocks) {
        auto *item = new QTreeWidgetItem(m_ui->repeatsView, {repeat.address.table, repeat.address.fileName,
                                                            QString::number(repeat.address.number),
                                                            QString(repeat.translation).replace(u"\r\n"_s, u" "_s)});
        if (!repeat.changes)
            item->setDisabled(true); // already holds this translation
    }
    const int changing = repeats.changing();
    m_ui->summaryLabel->setText(
        repeats.blocks.empty()
            ? u"No other block has exactly this original."_s
            : u"%1 other blocks have exactly this original; %2 of them would get the current translation."_s
                  .arg(repeats.blocks.size())
                  .arg(changing));
    m_ui->applyButton->setText(u"Apply to %1 Blocks"_s.arg(changing));
    m_ui->applyButton->setEnabled(changing > 0);
    m_ui->repeatsView->resizeColumnToContents(0);
    m_ui->repeatsView->resizeColumnToContents(1);
    connect(m_ui->applyButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

RepeatsDialog::~RepeatsDialog() = default;
