#pragma once

#include "check/findingsmodel.h"

#include <QWidget>

#include <memory>

class QMenu;

namespace Ui {
class ChecksWindow;
}

// Every finding of the project in one list: sorted by any column, narrowed
// by rule, severity and scripts. It shows what it is given; whoever owns it
// runs the checks (refreshRequested) and opens the blocks (findingOpened).
//
// Not modal: the translator keeps it open beside the main window and opens
// one finding after another.
//
// Thread contract: GUI thread.
class ChecksWindow : public QWidget
{
    Q_OBJECT

public:
    explicit ChecksWindow(QWidget *parent = nullptr);
    ~ChecksWindow() override;

    void setFindings(std::vector<FindingRow> rows);
    // Narrows the list to these scripts ("table/file_name"); empty: all.
    void showScripts(const QSet<QString> &scripts);
    // While the checks run: the list stays, Refresh waits.
    void setChecking(bool checking);

    const FindingsModel &model() const { return m_model; }
    const FindingsFilter &shown() const { return m_filter; }
    void setRuleFilter(std::optional<Rule> rule);
    void setSeverityFilter(std::optional<Severity> severity);
    // The fit of many blocks, offered beside the findings; none: no button.
    void setFitMenu(QMenu *menu);
    // Opens the shown row `row`, as a double-click or Enter on it does.
    void openRow(int row);

signals:
    void refreshRequested();
    // Remove Older Duplicates…, shown while a block is stored twice.
    void removeDuplicatesRequested();
    void findingOpened(const FindingRow &finding);

private:
    void fillRuleFilter();
    void showCount();

    std::unique_ptr<Ui::ChecksWindow> m_ui;
    FindingsModel m_model;
    FindingsFilter m_filter;
    bool m_checking = false;
};
