#pragma once

#include "keeping/backup.h"

#include <QDialog>

#include <functional>

#include <memory>

namespace Ui {
class RestoreWindow;
}

// Tools > Restore from Backup…: the copies in backups/ (when, why, size,
// translated share), and the restore of one after a confirmation. The work
// is Backups::restoreBackup; the store as it was is copied first.
class RestoreWindow : public QDialog
{
    Q_OBJECT

public:
    explicit RestoreWindow(const QString &programFolder, QWidget *parent = nullptr);
    ~RestoreWindow() override;

    // The Restore button: asks, restores and closes the window. True when
    // the store was replaced.
    bool restoreSelected();
    // What puts a backup back, in place of Backups::restoreBackup (a
    // server's store restores its own way).
    using Restorer = std::function<Backups::Outcome(const QString &file)>;
    void setRestorer(Restorer restorer) { m_restore = std::move(restorer); }

signals:
    void restored();

private:
    void fill();

    QString m_programFolder;
    Restorer m_restore;
    std::unique_ptr<Ui::RestoreWindow> m_ui;
};
