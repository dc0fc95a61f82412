#include "check/widgets/checkswindow.h"

#include "ui_checkswindow.h"

#include <QHeaderView>
#include <QPushButton>

#include <algorithm>

using namespace Qt::StringLiterals;

ChecksWindow::ChecksWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_ui(std::make_unique<Ui::ChecksWindow>())
{
    m_ui->setupUi(this);
    m_ui->fitButton->hide(); // until a fit menu is given
    m_filter.setSourceModel(&m_model);
    m_ui->findingsView->setModel(&m_filter);
    m_ui->findingsView->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    const int widths[] = {70, 100, 160, 60};
    for (int column = 0; column < 4; ++column)
        m_ui->findingsView->setColumnWidth(column, widths[column]);
    // Findings stay in project order until a header is clicked.
    m_ui->findingsView->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);

    m_ui->severityBox->addItems({u"Errors and warnings"_s, u"Errors"_s, u"Warnings"_s});
    fillRuleFilter();
    m_ui->allScriptsButton->hide();

    connect(m_ui->refreshButton, &QPushButton::clicked, this, &ChecksWindow::refreshRequested);
    connect(m_ui->removeDuplicatesButton, &QPushButton::clicked, this, &ChecksWindow::removeDuplicatesRequested);
    connect(m_ui->allScriptsButton, &QPushButton::clicked, this, [this] { showScripts({}); });
    connect(m_ui->ruleBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_filter.setRule(index > 0 ? std::optional<Rule>(Rule(index - 1)) : std::nullopt);
        showCount();
    });
    connect(m_ui->severityBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_filter.setSeverity(index == 1   ? std::optional<Severity>(Severity::Error)
                             : index == 2 ? std::optional<Severity>(Severity::Warning)
                                          : std::nullopt);
        showCount();
    });
    connect(m_ui->findingsView, &QAbstractItemView::activated, this,
            [this](const QModelIndex &index) { openRow(index.row()); });
}

ChecksWindow::~ChecksWindow() = default;

void ChecksWindow::fillRuleFilter()
{
    const QSignalBlocker quiet(m_ui->ruleBox);
    const int current = m_ui->ruleBox->currentIndex();
    m_ui->ruleBox->clear();
    m_ui->ruleBox->addItem(u"All rules (%1)"_s.arg(m_model.rowCount()));
    for (int rule = 0; rule < RuleCount; ++rule)
        m_ui->ruleBox->addItem(u"%1 (%2)"_s.arg(ruleId(Rule(rule))).arg(m_model.countPerRule()[size_t(rule)]));
    m_ui->ruleBox->setCurrentIndex(std::max(current, 0));
}

void ChecksWindow::setFindings(std::vector<FindingRow> rows)
{
    m_ui->removeDuplicatesButton->setVisible(std::any_of(rows.begin(), rows.end(), [](const FindingRow &row) {
        return row.finding.rule == Rule::Duplicate;
    }));
    m_model.setFindings(std::move(rows));
    fillRuleFilter();
    showCount();
}

void ChecksWindow::showScripts(const QSet<QString> &scripts)
{
    m_filter.setScripts(scripts);
    m_ui->allScriptsButton->setVisible(!scripts.isEmpty());
    showCount();
}

void ChecksWindow::setChecking(bool checking)
{
    m_checking = checking;
    m_ui->refreshButton->setEnabled(!checking);
    showCount();
}

void ChecksWindow::setRuleFilter(std::optional<Rule> rule)
{
    m_ui->ruleBox->setCurrentIndex(rule ? int(*rule) + 1 : 0);
}

void ChecksWindow::setSeverityFilter(std::optional<Severity> severity)
{
    m_ui->severityBox->setCurrentIndex(!severity ? 0 : *severity == Severity::Error ? 1 : 2);
}

void ChecksWindow::openRow(int row)
{
    const QModelIndex shown = m_filter.index(row, 0);
    if (const FindingRow *finding = m_model.finding(m_filter.mapToSource(shown).row()))
        emit findingOpened(*finding);
}

void ChecksWindow::showCount()
{
    QString text = m_checking ? u"Checking the project..."_s : u"%1 of %2 findings shown"_s.arg(m_filter.rowCount()).arg(m_model.rowCount());
    if (!m_filter.scripts().isEmpty())
        text += u", in %1 scripts"_s.arg(m_filter.scripts().size());
    m_ui->countLabel->setText(text);
}

void ChecksWindow::setFitMenu(QMenu *menu)
{
    m_ui->fitButton->setMenu(menu);
    m_ui->fitButton->setVisible(menu != nullptr);
}
