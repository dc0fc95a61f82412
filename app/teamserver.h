#pragma once

#include <QDialog>
#include <QObject>

class QLineEdit;
class QAction;

// The server address the editor opens its store on, kept in the settings;
// empty: the program folder's tallowpen.db. Never a password.
namespace TeamServer {
QString savedAddress();
} // namespace TeamServer

// Tools, Team Server…: sets or clears the address. It takes effect at the
// next start, so that the open block and the tree never change store under
// the translator's hands.
class TeamServerDialog : public QDialog
{
    Q_OBJECT

public:
    // `openStore` says which store this run works on.
    TeamServerDialog(const QString &openStore, QWidget *parent);

    QString address() const;
    // Keeps the address unless it holds a password, which is refused with a
    // message and leaves the dialog open.
    void accept() override;

private:
    QLineEdit *m_address;
};

// Makes the Team Server… entry and opens the dialog from it.
class TeamServerController : public QObject
{
    Q_OBJECT

public:
    TeamServerController(const QString &openStore, QWidget &window);

    QAction *entry() const { return m_entry; }

private:
    QAction *m_entry;
    QString m_openStore;
    QWidget &m_window;
};
