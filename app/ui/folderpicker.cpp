#include "app/ui/folderpicker.h"

#include "app/ui/filedialogs.h"

#include <QDir>
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
    const QString chosen = FileDialogs::existingFolder(owner, title, desktop);
    return chosen.isEmpty() ? QString() : QDir::toNativeSeparators(chosen);
}

Handler setHandler(Handler handler)
{
    return std::exchange(installedHandler(), std::move(handler));
}

} // namespace FolderPicker
