#pragma once

#include <QString>

class QFileDialog;
class QWidget;

// The program's own file dialogs. A dialog that lists a folder must not open
// the files it lists: Qt's icon and type lookup reads a file's first bytes to
// guess its kind, and closing that descriptor of tallowpen.db (or its -wal
// and -shm) drops every lock the process holds on it, after which another
// process may delete the journal under the running editor. So the dialogs
// here name kinds from file names only.
namespace FileDialogs {

// A dialog set up as above; the caller adds its mode and runs it.
void makeSafe(QFileDialog &dialog);

QString existingFolder(QWidget *owner, const QString &title, const QString &startFolder);
QString openFile(QWidget *owner, const QString &title, const QString &startFolder, const QString &filter);

} // namespace FileDialogs
