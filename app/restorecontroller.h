#pragma once

#include <QObject>

class QWidget;

// Tools > Restore from Backup…: opens the restore window and tells the main
// window before and after the store is replaced, so that the open block is
// saved and put away first and the tree is built again from the copy.
class RestoreController : public QObject
{
    Q_OBJECT

public:
    // `window` owns the restore window and the message boxes.
    RestoreController(const QString &programFolder, QWidget &window);

    void openRestore();

signals:
    void aboutToRestore();
    void restored();

private:
    QString m_programFolder;
    QWidget &m_window;
};
