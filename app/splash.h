#pragma once

#include <QDialog>

// frmSplash: the picture shown for five seconds before the main window loads.
class frmSplash : public QDialog
{
    Q_OBJECT

public:
    explicit frmSplash(QWidget *owner = nullptr);
    static constexpr int ShowMilliseconds = 5000;
};
