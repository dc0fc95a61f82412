#pragma once

#include "check/finding.h"

#include <QAbstractTableModel>
#include <QSet>
#include <QSortFilterProxyModel>

#include <array>
#include <optional>
#include <vector>

// A finding with the block it was found in, as the checks window lists it.
struct FindingRow
{
    QString table;
    QString fileName;
    qint16 number = 0;
    Finding finding;

    QString script() const { return table + u'/' + fileName; } // the key of a script filter
};

// The checks window's list: one row per finding, filled in one go (one
// reset), so a hundred thousand findings cost one layout pass of the view.
//
// Thread contract: GUI thread, like every model.
class FindingsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { SeverityColumn = 0, RuleColumn, ScriptColumn, BlockColumn, MessageColumn, ColumnCount };
    static constexpr int SortRole = Qt::UserRole;

    explicit FindingsModel(QObject *parent = nullptr);

    void setFindings(std::vector<FindingRow> rows);
    const FindingRow *finding(int row) const;
    const std::array<int, RuleCount> &countPerRule() const { return m_perRule; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<FindingRow> m_rows;
    std::array<int, RuleCount> m_perRule{};
};

// The list as shown: narrowed to a rule, a severity and a set of scripts
// ("table/file_name"; empty for every script), sorted by any column.
class FindingsFilter : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit FindingsFilter(QObject *parent = nullptr);

    void setRule(std::optional<Rule> rule);
    void setSeverity(std::optional<Severity> severity);
    void setScripts(const QSet<QString> &scripts);
    const QSet<QString> &scripts() const { return m_scripts; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    std::optional<Rule> m_rule;
    std::optional<Severity> m_severity;
    QSet<QString> m_scripts;
};
