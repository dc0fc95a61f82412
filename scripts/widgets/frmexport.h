#pragma once

#include "scripts/scriptexport.h"
#include "store/database.h"

#include <QDialog>

#include <memory>

namespace Ui {
class frmExport;
}

// The export window: the scripts with translated blocks, ticked by the
// translator and written into Translated under the program folder. It owns
// its own Database on the store for as long as it is open.
//
// Thread contract: GUI thread.
class frmExport : public QDialog
{
    Q_OBJECT

public:
    frmExport(const QString &programFolder, const QString &storePath, QWidget *parent = nullptr);
    ~frmExport() override;

    void FillExportList();
    void cmdSelect_Click();
    void cmdClear_Click();
    void cmdExport_Click();
    void cmdCancel_Click();

    // The listed rows, in list order, and which of them are ticked.
    std::vector<ExportListRow> listedRows() const;
    std::vector<ExportListRow> tickedRows() const;
    void setTicked(int row, bool ticked);

    // A width in twips as pixels on this window's screen.
    int twipsToPixels(int twips) const;

protected:
    void done(int result) override;

private:
    void setExportControlsEnabled(bool enabled);

    std::unique_ptr<Ui::frmExport> m_ui;
    QString m_programFolder;
    Database m_db;
};
