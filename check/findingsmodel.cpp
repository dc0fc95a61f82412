#include "check/findingsmodel.h"

#include <QColor>

using namespace Qt::StringLiterals;

FindingsModel::FindingsModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void FindingsModel::setFindings(std::vector<FindingRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_perRule.fill(0);
    for (const FindingRow &row : m_rows)
        ++m_perRule[size_t(row.finding.rule)];
    endResetModel();
}

const FindingRow *FindingsModel::finding(int row) const
{
    return row >= 0 && size_t(row) < m_rows.size() ? &m_rows[size_t(row)] : nullptr;
}

int FindingsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int FindingsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FindingsModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const FindingRow &row = m_rows[size_t(index.row())];
    const Finding &f = row.finding;
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case SeverityColumn: return severityName(f.severity);
        case RuleColumn: return ruleId(f.rule);
        case ScriptColumn: return row.fileName;
        case BlockColumn: return int(row.number);
        case MessageColumn: return f.message;
        }
        break;
    case SortRole:
        switch (index.column()) {
        case SeverityColumn: return int(f.severity);
        case RuleColumn: return int(f.rule);
        case ScriptColumn: return row.script();
        case BlockColumn: return int(row.number);
        case MessageColumn: return f.message;
        }
        break;
    case Qt::ToolTipRole:
        return index.column() == ScriptColumn ? row.table : f.message;
    case Qt::ForegroundRole:
        if (index.column() == SeverityColumn)
            return f.severity == Severity::Error ? QColor(0xb0, 0x20, 0x20) : QColor(0xa0, 0x60, 0x00);
        break;
    }
    return {};
}

QVariant FindingsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const std::array<QString, ColumnCount> captions = {u"Severity"_s, u"Rule"_s, u"Script"_s, u"Block"_s,
                                                              u"Message"_s};
    return section >= 0 && section < ColumnCount ? captions[size_t(section)] : QVariant();
}

FindingsFilter::FindingsFilter(QObject *parent)
    : QSortFilterProxyModel(parent)
{
    setSortRole(FindingsModel::SortRole);
}

void FindingsFilter::setRule(std::optional<Rule> rule)
{
    m_rule = rule;
    invalidateRowsFilter();
}

void FindingsFilter::setSeverity(std::optional<Severity> severity)
{
    m_severity = severity;
    invalidateRowsFilter();
}

void FindingsFilter::setScripts(const QSet<QString> &scripts)
{
    m_scripts = scripts;
    invalidateRowsFilter();
}

bool FindingsFilter::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    const auto *model = static_cast<const FindingsModel *>(sourceModel());
    const FindingRow *row = model ? model->finding(sourceRow) : nullptr;
    if (!row)
        return false;
    return (!m_rule || row->finding.rule == *m_rule) && (!m_severity || row->finding.severity == *m_severity)
        && (m_scripts.isEmpty() || m_scripts.contains(row->script()));
}
