#include "keeping/widgets/restorewindow.h"

#include "ui/messages.h"
#include "keeping/backup.h"
#include "ui_restorewindow.h"

#include <QDir>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

RestoreWindow::RestoreWindow(const QString &programFolder, QWidget *parent)
    : QDialog(parent)
    , m_programFolder(programFolder)
    , m_ui(std::make_unique<Ui::RestoreWindow>())
{
    m_ui->setupUi(this);
    connect(m_ui->restoreButton, &QPushButton::clicked, this, &RestoreWindow::restoreSelected);
    connect(m_ui->closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ui->backupList, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *current) { m_ui->restoreButton->setEnabled(current != nullptr); });
    fill();
}

RestoreWindow::~RestoreWindow() = default;

void RestoreWindow::fill()
{
    QTreeWidget *list = m_ui->backupList;
    list->clear();
    const QLocale locale = QLocale::system();
    const QDir folder(QDir(m_programFolder).filePath(Backups::FolderName));
    for (const Backups::BackupInfo &backup : Backups::listBackups(m_programFolder)) {
        const std::optional<int> percent = Backups::translatedPercent(folder.filePath(backup.file));
        auto *item = new QTreeWidgetItem(list, {locale.toString(backup.time, QLocale::ShortFormat), backup.reason,
                                                locale.formattedDataSize(backup.bytes),
                                                percent ? u"%1%"_s.arg(*percent) : u"-"_s});
        item->setData(0, Qt::UserRole, backup.file);
        item->setTextAlignment(2, Qt::AlignRight);
        item->setTextAlignment(3, Qt::AlignRight);
    }
    for (int column = 0; column < list->columnCount(); ++column)
        list->resizeColumnToContents(column);
    list->setCurrentItem(list->topLevelItem(0));
    m_ui->restoreButton->setEnabled(list->currentItem() != nullptr);
}

bool RestoreWindow::restoreSelected()
{
    const QTreeWidgetItem *item = m_ui->backupList->currentItem();
    if (!item)
        return false;
    const QString file = item->data(0, Qt::UserRole).toString();
    const QString question = u"Put the backup made %1 (%2) in place of the store?\r\nThe store as it is now is "
                             "copied into the backups folder first."_s.arg(item->text(0), item->text(1));
    if (Messages::askWarning(this, question) != Messages::Answer::Yes)
        return false;
    const Backups::Outcome outcome = m_restore ? m_restore(file) : Backups::restoreBackup(m_programFolder, file);
    if (!outcome) {
        Messages::inform(this, outcome.error().message);
        fill();
        return false;
    }
    Messages::inform(this, outcome->isEmpty()
                               ? u"The backup %1 was restored."_s.arg(file)
                               : u"The backup %1 was restored; the store it replaced is kept as %2."_s.arg(file, *outcome));
    emit restored();
    accept();
    return true;
}
