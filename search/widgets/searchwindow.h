#pragma once

#include "search/search.h"
#include "search/searchhitmodel.h"
#include "search/widgets/blockjump.h"

#include <QDialog>

#include <memory>

namespace Ui {
class SearchWindow;
}

class ProjectStore;

// The search window. It searches the open store, lists every block whose
// text matches, and opens a listed block in the main window on a click
// while it stays open itself.
class SearchWindow : public QDialog
{
    Q_OBJECT

public:
    SearchWindow(ProjectStore &store, ScriptTreeJump jump, QWidget *parent = nullptr);
    ~SearchWindow() override;

    SearchHitModel *hits() { return &m_hits; }

public slots:
    void runSearch();
    void openHit(const QModelIndex &index);

private:
    void applyColumnWidths();

    std::unique_ptr<Ui::SearchWindow> m_ui;
    SearchHitModel m_hits;
    ScriptTreeJump m_jump;
    ProjectStore &m_store;
};
