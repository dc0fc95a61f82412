#pragma once

#include <QDialog>

// SplashScreen: the picture shown for five seconds before the main window loads.
class SplashScreen : public QDialog
{
    Q_OBJECT

public:
    explicit SplashScreen(QWidget *owner = nullptr);
    static constexpr int ShowMilliseconds = 5000;
};
