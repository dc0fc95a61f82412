#include "app/ui/folderpicker.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

namespace FolderPicker {

namespace {

Handler &installedHandler()
{
    static Handler handler;
    return handler;
}

} // namespace

QString BrowseFolder(QWidget *owner, const QString &title)
{
    if (const Handler &handler = installedHandler())
        return handler(owner, title);
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    const QString chosen = QFileDialog::getExistingDirectory(owner, title, desktop, QFileDialog::ShowDirsOnly);
    return chosen.isEmpty() ? QString() : QDir::toNativeSeparators(chosen);
}

Handler setHandler(Handler handler)
{
    return std::exchange(installedHandler(), std::move(handler));
}

} // namespace FolderPicker
