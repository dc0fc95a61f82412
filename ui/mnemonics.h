#pragma once

#include <QStringList>

class QCoreApplication;
class QMenuBar;
class QWidget;

// Keyboard mnemonics added to captions without changing the text shown: the
// '&' only underlines a letter. Captions keep the order they are shown in;
// each takes, in turn, the first free letter that starts a word, else the
// first free letter or digit anywhere, else none. A caption that already
// has a mnemonic keeps it, and its letter is taken first.
QStringList withMnemonics(const QStringList &captions);

// The menu bar's menus, and the entries of every menu and submenu in it.
// Run once every feature has added its entries.
void addMenuMnemonics(QMenuBar &bar);

// A dialog's buttons, check boxes and labels that have a buddy.
void addDialogMnemonics(QWidget &dialog);

// Every dialog of the program's own gets its mnemonics when first shown,
// whichever library built it; Qt's own dialogs bring theirs.
void addMnemonicsToEveryDialog(QCoreApplication &app);
