#pragma once

#include "memory/wordstats.h"

#include <QDialog>

#include <memory>

namespace Ui {
class StatisticsWindow;
}

class QTreeWidgetItem;

// Progress per folder and per script, in blocks, words and characters of
// the originals, with the project's total on the last line.
class StatisticsWindow : public QDialog
{
    Q_OBJECT

public:
    explicit StatisticsWindow(const ProjectFigures &figures, QWidget *parent = nullptr);
    ~StatisticsWindow() override;

    QTreeWidgetItem *totalRow() const { return m_total; }

private:
    std::unique_ptr<Ui::StatisticsWindow> m_ui;
    QTreeWidgetItem *m_total = nullptr;
};
