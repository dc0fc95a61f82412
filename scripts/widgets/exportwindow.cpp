#include "scripts/widgets/exportwindow.h"

#include "ui/messages.h"
#include "ui_exportwindow.h"

#include <QTreeWidgetItem>

using namespace Qt::StringLiterals;

ExportWindow::ExportWindow(const QString &programFolder, const QString &storePath, QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::ExportWindow>())
    , m_programFolder(programFolder)
{
    m_ui->setupUi(this);
    const int widths[] = {1000, 1500, 10000};
    for (int column = 0; column < 3; ++column)
        m_ui->lstExport->setColumnWidth(column, twipsToPixels(widths[column]));

    if (const Result<Done> opened = openStore(m_db, storePath); !opened)
        Messages::inform(this, opened.error().message);

    connect(m_ui->cmbFolder, &QComboBox::currentIndexChanged, this, &ExportWindow::fillExportList);
    connect(m_ui->chkRevised, &QCheckBox::clicked, this, &ExportWindow::fillExportList);
    connect(m_ui->cmdSelect, &QPushButton::clicked, this, &ExportWindow::selectAll);
    connect(m_ui->cmdClear, &QPushButton::clicked, this, &ExportWindow::unselectAll);
    connect(m_ui->cmdExport, &QPushButton::clicked, this, &ExportWindow::exportSelected);
    connect(m_ui->cmdCancel, &QPushButton::clicked, this, &ExportWindow::cancel);

    // Adding the first item selects it, and the selection fills the list.
    m_ui->cmbFolder->addItems(ExportFolderItems);
}

ExportWindow::~ExportWindow() = default;

int ExportWindow::twipsToPixels(int twips) const
{
    return qRound(twips * logicalDpiX() / 1440.0);
}

void ExportWindow::setExportControlsEnabled(bool enabled)
{
    for (QWidget *control : std::initializer_list<QWidget *>{m_ui->cmbFolder, m_ui->chkRevised, m_ui->chkInclude,
                                                            m_ui->cmdSelect, m_ui->cmdClear, m_ui->cmdCancel,
                                                            m_ui->cmdExport})
        control->setEnabled(enabled);
}

void ExportWindow::fillExportList()
{
    setExportControlsEnabled(false);
    m_ui->lstExport->clear();
    const Result<std::vector<ExportListRow>> rows =
        ::fillExportList(m_db, m_ui->cmbFolder->currentIndex(), m_ui->chkRevised->isChecked());
    const std::vector<ExportListRow> listed = rows.value_or({});
    QList<QTreeWidgetItem *> items;
    items.reserve(qsizetype(listed.size()));
    for (const ExportListRow &row : listed) {
        auto *item = new QTreeWidgetItem({row.script, row.folder, row.overview});
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
        items << item;
    }
    m_ui->lstExport->addTopLevelItems(items);
    setExportControlsEnabled(true);
    if (!rows)
        Messages::inform(this, rows.error().message);
}

void ExportWindow::setTicked(int row, bool ticked)
{
    if (QTreeWidgetItem *item = m_ui->lstExport->topLevelItem(row))
        item->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
}

void ExportWindow::selectAll()
{
    for (int row = 0; row < m_ui->lstExport->topLevelItemCount(); ++row)
        setTicked(row, true);
}

void ExportWindow::unselectAll()
{
    for (int row = 0; row < m_ui->lstExport->topLevelItemCount(); ++row)
        setTicked(row, false);
}

std::vector<ExportListRow> ExportWindow::listedRows() const
{
    std::vector<ExportListRow> rows;
    for (int row = 0; row < m_ui->lstExport->topLevelItemCount(); ++row) {
        const QTreeWidgetItem *item = m_ui->lstExport->topLevelItem(row);
        rows.push_back({item->text(0), item->text(1), item->text(2)});
    }
    return rows;
}

std::vector<ExportListRow> ExportWindow::tickedRows() const
{
    std::vector<ExportListRow> rows;
    const std::vector<ExportListRow> listed = listedRows();
    for (int row = 0; row < int(listed.size()); ++row) {
        if (m_ui->lstExport->topLevelItem(row)->checkState(0) == Qt::Checked)
            rows.push_back(listed[size_t(row)]);
    }
    return rows;
}

void ExportWindow::setExportChecks(BeforeExport before, AfterExport after)
{
    m_beforeExport = std::move(before);
    m_afterExport = std::move(after);
}

void ExportWindow::exportSelected()
{
    const std::vector<ExportListRow> ticked = tickedRows();
    const bool onlyRevised = m_ui->chkRevised->isChecked();
    const bool include = m_ui->chkInclude->isChecked();
    if (m_beforeExport && !m_beforeExport(m_db, ticked, onlyRevised))
        return;
    setExportControlsEnabled(false);
    const ExportResult result = exportScripts(m_db, m_programFolder, ticked, onlyRevised, include);
    setExportControlsEnabled(true);
    Messages::inform(this, result ? result->message : result.error().message);
    if (result && m_afterExport)
        m_afterExport(m_db, ticked, onlyRevised, include);
}

void ExportWindow::cancel()
{
    reject();
}

void ExportWindow::done(int result)
{
    m_db.close();
    QDialog::done(result);
}
