#pragma once

#include "search/search.h"
#include "search/searchhitmodel.h"
#include "search/widgets/blockjump.h"
#include "store/database.h"

#include <QDialog>

#include <memory>

namespace Ui {
class frmBuscar;
}

// The search window. It holds a database instance of its own from load to
// unload, lists every block whose text matches, and opens a listed block in
// the main window on a click while it stays open itself.
class frmBuscar : public QDialog
{
    Q_OBJECT

public:
    frmBuscar(const QString &storePath, ScriptTreeJump jump, QWidget *parent = nullptr);
    ~frmBuscar() override;

    SearchHitModel *hits() { return &m_hits; }

public slots:
    void cmdBuscar_Click();
    void lstSearch_ItemClick(const QModelIndex &index);

private:
    void Form_Load(const QString &storePath);
    void Form_Unload();
    void applyColumnWidths();

    std::unique_ptr<Ui::frmBuscar> m_ui;
    SearchHitModel m_hits;
    ScriptTreeJump m_jump;
    Database m_db;
    StoreError m_openError;
};
