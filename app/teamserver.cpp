#include "app/teamserver.h"

#include "server/connection.h"
#include "ui/messages.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString AddressKey = u"server/address"_s;

} // namespace

QString TeamServer::savedAddress()
{
    return QSettings().value(AddressKey).toString();
}

TeamServerDialog::TeamServerDialog(const QString &openStore, QWidget *parent)
    : QDialog(parent)
    , m_address(new QLineEdit(TeamServer::savedAddress(), this))
{
    setObjectName(u"TeamServerDialog"_s);
    setWindowTitle(u"Team Server"_s);
    m_address->setObjectName(u"serverAddress"_s);
    m_address->setPlaceholderText(u"postgresql://ana@db.example/brassvale?sslmode=verify-full"_s);
    m_address->setMinimumWidth(420);
    auto *intro = new QLabel(u"The PostgreSQL database the team's store is in, as a libpq URI or key=value words. "
                             "Leave it empty to work on tallowpen.db in the program folder. No password: keep it "
                             "in libpq's password file or PGPASSFILE, or use a client certificate."_s,
                             this);
    intro->setWordWrap(true);
    auto *open = new QLabel(u"Open now: %1"_s.arg(openStore), this);
    open->setObjectName(u"lblOpenStore"_s);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton *clear = buttons->addButton(u"&Clear"_s, QDialogButtonBox::ResetRole);
    clear->setObjectName(u"clearButton"_s);
    connect(clear, &QPushButton::clicked, m_address, &QLineEdit::clear);
    connect(buttons, &QDialogButtonBox::accepted, this, &TeamServerDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_address);
    layout->addWidget(open);
    layout->addWidget(buttons);
}

QString TeamServerDialog::address() const
{
    return m_address->text().trimmed();
}

void TeamServerDialog::accept()
{
    const QString chosen = address();
    if (const QString problem = ServerConnection::passwordProblem(chosen); !problem.isEmpty()) {
        Messages::show(this, {problem, {}, Messages::Buttons::Ok, Messages::Icon::Warning});
        return;
    }
    QSettings settings;
    if (chosen.isEmpty())
        settings.remove(AddressKey);
    else
        settings.setValue(AddressKey, chosen);
    Messages::inform(this, chosen.isEmpty()
                               ? u"From the next start the editor works on tallowpen.db in the program folder."_s
                               : u"From the next start the editor works on the store on the server %1 (unless "
                                 "--server or $TALLOWPEN_SERVER names another)."_s.arg(chosen));
    QDialog::accept();
}

TeamServerController::TeamServerController(const QString &openStore, QWidget &window)
    : QObject(&window)
    , m_entry(new QAction(u"Team Server…"_s, this))
    , m_openStore(openStore)
    , m_window(window)
{
    connect(m_entry, &QAction::triggered, this, [this] {
        TeamServerDialog dialog(m_openStore, &m_window);
        dialog.exec();
    });
    m_entry->setObjectName(u"teamServerAction"_s);
}
