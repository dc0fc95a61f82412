#include "ui/messages.h"

#include <QApplication>
#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace Messages {

namespace {

Handler &installedHandler()
{
    static Handler handler;
    return handler;
}

std::function<void()> &installedBeep()
{
    static std::function<void()> handler;
    return handler;
}

QMessageBox::Icon toBoxIcon(Icon icon)
{
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

Answer showBox(QWidget *parent, const Message &message)
{
    const QString title = message.title.isEmpty() ? QApplication::applicationDisplayName() : message.title;
    QMessageBox box(toBoxIcon(message.icon), title, message.text, QMessageBox::NoButton, parent);
    if (message.buttons != Buttons::Ok) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No
                               | (message.buttons == Buttons::YesNoCancel ? QMessageBox::Cancel : QMessageBox::NoButton));
        box.setEscapeButton(QMessageBox::No);
        // These questions destroy data: Enter must not be the way to agree.
        box.setDefaultButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Ok:
        return Answer::Ok;
    default:
        return Answer::Cancel;
    }
}

} // namespace

Answer show(QWidget *parent, const Message &message)
{
    if (const Handler &handler = installedHandler())
        return handler(parent, message);
    return showBox(parent, message);
}

void inform(QWidget *parent, const QString &text, const QString &title)
{
    show(parent, {text, title, Buttons::Ok, Icon::None});
}

Answer askWarning(QWidget *parent, const QString &text, Icon icon)
{
    return show(parent, {text, u"Warning"_s, Buttons::YesNoCancel, icon});
}

Answer askYesNo(QWidget *parent, const QString &text)
{
    return show(parent, {text, u"Warning"_s, Buttons::YesNo, Icon::Warning});
}

void beep()
{
    if (const auto &handler = installedBeep())
        handler();
    else
        QApplication::beep();
}

Handler setHandler(Handler handler)
{
    return std::exchange(installedHandler(), std::move(handler));
}

void setBeepHandler(std::function<void()> handler)
{
    installedBeep() = std::move(handler);
}

} // namespace Messages
