#pragma once

#include <QString>

#include <functional>

class QWidget;

// The system's folder picker, through a seam like the message boxes, so that
// tests (and automation) can choose a folder without a person.
namespace FolderPicker {

// BrowseFolder: a picker for file-system folders titled `title`, starting at
// the folder last chosen in a picker of that title (else the home folder);
// the chosen folder's full path, or an empty text when the user cancels.
QString BrowseFolder(QWidget *owner, const QString &title);

using Handler = std::function<QString(QWidget *owner, const QString &title)>;
// Replaces the real picker; an empty handler restores it. Returns the
// handler installed before.
Handler setHandler(Handler handler);

} // namespace FolderPicker
