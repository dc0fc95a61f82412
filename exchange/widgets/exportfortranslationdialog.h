#pragma once

#include "exchange/exchangeexport.h"

#include <QDialog>

#include <memory>

namespace Ui {
class ExportForTranslationDialog;
}
class Database;

// Export for Translation: the format, which blocks, and where to. The
// export runs on OK through `db`; the dialog stays open when it fails.
//
// Thread contract: GUI thread.
class ExportForTranslationDialog : public QDialog
{
    Q_OBJECT

public:
    ExportForTranslationDialog(Database &db, const QString &programFolder, QWidget *parent = nullptr);
    ~ExportForTranslationDialog() override;

    ExchangeFormat format() const;
    ExchangeScope scope() const;
    QString target() const;
    // For the translator's convenience: the tree's selected folder or script.
    void preselect(const QString &folder, const QString &script);

    void accept() override;

private:
    void browse();
    void followFormat();

    std::unique_ptr<Ui::ExportForTranslationDialog> m_ui;
    Database &m_db;
    QString m_programFolder;
};
