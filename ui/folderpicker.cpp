#include "ui/folderpicker.h"

#include "ui/filedialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

using namespace Qt::StringLiterals;

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
    // Each picker (told apart by its title) starts where it was last left;
    // the first time at the home folder, which exists where a desktop folder
    // may not.
    QSettings settings;
    const QString key = u"folders/"_s + title;
    QString start = settings.value(key).toString();
    if (start.isEmpty() || !QFileInfo(start).isDir())
        start = QDir::homePath();
    const QString chosen = FileDialogs::existingFolder(owner, title, start);
    if (chosen.isEmpty())
        return QString();
    settings.setValue(key, chosen);
    return QDir::toNativeSeparators(chosen);
}

Handler setHandler(Handler handler)
{
    return std::exchange(installedHandler(), std::move(handler));
}

} // namespace FolderPicker
