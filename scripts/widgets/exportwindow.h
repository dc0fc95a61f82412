#pragma once

#include "scripts/scriptexport.h"
#include "store/database.h"

#include <QDialog>

#include <functional>
#include <memory>

namespace Ui {
class ExportWindow;
}

// The export window: the scripts with translated blocks, ticked by the
// translator and written into Translated under the program folder. It owns
// its own Database on the store for as long as it is open.
//
// Thread contract: GUI thread.
class ExportWindow : public QDialog
{
    Q_OBJECT

public:
    ExportWindow(const QString &programFolder, const QString &storePath, QWidget *parent = nullptr);
    ~ExportWindow() override;

    void fillExportList();
    void selectAll();
    void unselectAll();
    void exportSelected();
    void cancel();

    // The listed rows, in list order, and which of them are ticked.
    std::vector<ExportListRow> listedRows() const;
    std::vector<ExportListRow> tickedRows() const;
    void setTicked(int row, bool ticked);

    // Checks around the Export button, set by whoever opens the window:
    // `before` sees the ticked rows and may stop the export; `after` runs
    // once every file was written.
    using BeforeExport = std::function<bool(Database &, const std::vector<ExportListRow> &, bool onlyRevised)>;
    using AfterExport =
        std::function<void(Database &, const std::vector<ExportListRow> &, bool onlyRevised, bool includeUntranslated)>;
    void setExportChecks(BeforeExport before, AfterExport after);

    // A width in twips as pixels on this window's screen.
    int twipsToPixels(int twips) const;

protected:
    void done(int result) override;

private:
    void setExportControlsEnabled(bool enabled);

    std::unique_ptr<Ui::ExportWindow> m_ui;
    QString m_programFolder;
    Database m_db;
    BeforeExport m_beforeExport;
    AfterExport m_afterExport;
};
