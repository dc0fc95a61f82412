#pragma once

#include <QString>

#include <functional>

class QWidget;

// Every message box and question of the program passes through here, so that
// tests (and any automation) can read and answer them without a person.
namespace Messages {

enum class Buttons { Ok, YesNoCancel, YesNo };
enum class Icon { None, Information, Warning, Critical };
enum class Answer { Ok, Yes, No, Cancel };

struct Message
{
    QString text;
    QString title; // empty: the program's name
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
};

using Handler = std::function<Answer(QWidget *parent, const Message &message)>;

// Shows the message (or hands it to the installed handler) and returns the answer.
Answer show(QWidget *parent, const Message &message);
// Shorthands for the two shapes the program uses.
void inform(QWidget *parent, const QString &text, const QString &title = QString());
Answer askWarning(QWidget *parent, const QString &text, Icon icon = Icon::Warning);
// A question whose only way back is No: a Cancel would do the same.
Answer askYesNo(QWidget *parent, const QString &text);
// The audible signal that goes with some results.
void beep();

// Replaces the real boxes; an empty handler restores them. The returned
// handler is the one that was installed before.
Handler setHandler(Handler handler);
void setBeepHandler(std::function<void()> handler);

} // namespace Messages
