#include "ui/filedialogs.h"

#include <QAbstractFileIconProvider>
#include <QFileDialog>

using namespace Qt::StringLiterals;

namespace FileDialogs {

namespace {

class NameOnlyIcons : public QAbstractFileIconProvider
{
public:
    using QAbstractFileIconProvider::icon;
    QIcon icon(const QFileInfo &info) const override { return icon(info.isDir() ? Folder : File); }
    QString type(const QFileInfo &info) const override
    {
        if (info.isDir())
            return u"Folder"_s;
        return info.suffix().isEmpty() ? u"File"_s : info.suffix().toUpper() + u" File"_s;
    }
};

QString run(QFileDialog &dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

void makeSafe(QFileDialog &dialog)
{
    // A native dialog may run inside the process with its own file sniffing.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // Shared and never freed: the model's gatherer thread may still ask it
    // while the dialog is torn down. It holds no state.
    static NameOnlyIcons icons;
    dialog.setIconProvider(&icons);
}

QString existingFolder(QWidget *owner, const QString &title, const QString &startFolder)
{
    QFileDialog dialog(owner, title, startFolder);
    makeSafe(dialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    return run(dialog);
}

QString openFile(QWidget *owner, const QString &title, const QString &startFolder, const QString &filter)
{
    QFileDialog dialog(owner, title, startFolder, filter);
    makeSafe(dialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return run(dialog);
}

} // namespace FileDialogs
