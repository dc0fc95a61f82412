#include "app/splashscreen.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

SplashScreen::SplashScreen(QWidget *owner)
    : QDialog(owner, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(u"frmSplash"_s);
    setModal(true);
    auto *picture = new QLabel(this);
    const QPixmap pixmap(u":/tallowpen/splash.png"_s);
    if (pixmap.isNull())
        picture->setText(u"Tallowpen"_s);
    else
        picture->setPixmap(pixmap);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picture);

    auto *timer = new QTimer(this);
    timer->setObjectName(u"Timer1"_s);
    timer->setSingleShot(true);
    timer->setInterval(ShowMilliseconds);
    connect(timer, &QTimer::timeout, this, &QDialog::accept);
    timer->start();
}
