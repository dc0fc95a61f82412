#include "ui/mnemonics.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

#include <functional>
#include <set>

namespace {

// The position of an existing mnemonic's letter, or -1. "&&" is a plain '&'.
qsizetype existingMnemonic(const QString &caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (caption[i + 1] != u'&')
            return i + 1;
        ++i;
    }
    return -1;
}

qsizetype pickLetter(const QString &caption, const std::set<QChar> &taken)
{
    const auto freeAt = [&](qsizetype i) {
        return caption[i].isLetterOrNumber() && !taken.contains(caption[i].toLower());
    };
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (freeAt(i) && (i == 0 || !caption[i - 1].isLetterOrNumber()))
            return i;
    }
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (freeAt(i))
            return i;
    }
    return -1;
}

template<typename Item>
void applyTo(const QList<Item *> &items, const std::function<QString(Item *)> &text,
             const std::function<void(Item *, const QString &)> &setText)
{
    QStringList captions;
    for (Item *item : items)
        captions.append(text(item));
    const QStringList marked = withMnemonics(captions);
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (marked[i] != captions[i])
            setText(items[i], marked[i]);
    }
}

void addMenuEntries(QMenu &menu)
{
    QList<QAction *> entries;
    for (QAction *action : menu.actions()) {
        if (!action->isSeparator() && !action->text().isEmpty())
            entries.append(action);
        if (QMenu *submenu = action->menu())
            addMenuEntries(*submenu);
    }
    applyTo<QAction>(entries, &QAction::text, &QAction::setText);
}

class DialogMnemonics : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            auto *dialog = qobject_cast<QDialog *>(watched);
            const char *className = watched->metaObject()->className();
            if (dialog && className[0] != 'Q' && !dialog->property(Done).toBool()) {
                dialog->setProperty(Done, true);
                addDialogMnemonics(*dialog);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static constexpr const char *Done = "tallowpenMnemonics";
};

} // namespace

QStringList withMnemonics(const QStringList &captions)
{
    std::set<QChar> taken;
    for (const QString &caption : captions) {
        if (const qsizetype at = existingMnemonic(caption); at >= 0)
            taken.insert(caption[at].toLower());
    }
    QStringList marked;
    for (const QString &caption : captions) {
        const qsizetype at = existingMnemonic(caption) >= 0 ? -1 : pickLetter(caption, taken);
        if (at < 0) {
            marked.append(caption);
            continue;
        }
        taken.insert(caption[at].toLower());
        QString withMark = caption;
        withMark.insert(at, u'&');
        marked.append(withMark);
    }
    return marked;
}

void addMenuMnemonics(QMenuBar &bar)
{
    QList<QAction *> menus;
    for (QAction *action : bar.actions()) {
        if (action->isVisible() && !action->text().isEmpty())
            menus.append(action);
        if (QMenu *menu = action->menu())
            addMenuEntries(*menu);
    }
    applyTo<QAction>(menus, &QAction::text, &QAction::setText);
}

void addDialogMnemonics(QWidget &dialog)
{
    QList<QWidget *> controls;
    for (QWidget *child : dialog.findChildren<QWidget *>()) {
        if (auto *label = qobject_cast<QLabel *>(child); label && label->buddy() && !label->text().isEmpty())
            controls.append(label);
        else if (auto *button = qobject_cast<QAbstractButton *>(child); button && !button->text().isEmpty())
            controls.append(button);
    }
    applyTo<QWidget>(
        controls,
        [](QWidget *w) {
            if (auto *label = qobject_cast<QLabel *>(w))
                return label->text();
            return static_cast<QAbstractButton *>(w)->text();
        },
        [](QWidget *w, const QString &text) {
            if (auto *label = qobject_cast<QLabel *>(w))
                label->setText(text);
            else
                static_cast<QAbstractButton *>(w)->setText(text);
        });
}

void addMnemonicsToEveryDialog(QCoreApplication &app)
{
    app.installEventFilter(new DialogMnemonics(&app));
}
