#include "app/teamcontroller.h"

#include "app/blockeditcontroller.h"
#include "app/presenceworker.h"
#include "server/roles.h"
#include "keeping/widgets/historywindow.h"
#include "server/serverstore.h"
#include "store/widgets/scripttree.h"
#include "store/widgets/scripttreemodel.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QThread>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

// "Ana is editing this block", "Ana and Ben are editing this block".
QString editingNote(QStringList names)
{
    names.removeDuplicates(); // one person in two windows is one person
    if (names.isEmpty())
        return {};
    const QString who = names.size() == 1 ? names.front()
                                          : names.mid(0, names.size() - 1).join(u", "_s) + u" and "_s + names.back();
    return u"%1 %2 editing this block"_s.arg(who, names.size() == 1 ? u"is"_s : u"are"_s);
}

// The role by what it may write, as the server grants it.
QString roleName(const TeamRights &rights)
{
    if (rights.lead)
        return u"lead"_s;
    if (rights.revise)
        return u"reviewer"_s;
    return rights.translate ? u"translator"_s : u"reader"_s;
}

void explain(QAction *action, const QString &why)
{
    action->setEnabled(false);
    action->setToolTip(why);
    action->setStatusTip(why);
    for (QObject *holder : action->associatedObjects()) {
        if (auto *menu = qobject_cast<QMenu *>(holder))
            menu->setToolTipsVisible(true);
    }
}

} // namespace

TeamController::TeamController(const Controls &controls, BlockEditController &blocks, ServerStore *server)
    : QObject(controls.window)
    , m_c(controls)
    , m_blocks(blocks)
    , m_server(server)
    , m_takeNext(new QAction(u"Take Next Untranslated"_s, this))
{
    m_takeNext->setObjectName(u"takeNextAction"_s);
    m_takeNext->setShortcut(QKeySequence(u"Ctrl+Shift+N"_s));
    connect(m_takeNext, &QAction::triggered, this, &TeamController::takeNext);
    if (!m_server) {
        explain(m_takeNext, u"Take Next Untranslated hands out blocks of a team server's store; this one is the "
                            "program folder's tallowpen.db (Tools, Team Server… sets a server)."_s);
        return;
    }
    m_thread = new QThread(this);
    m_thread->setObjectName(u"presence"_s);
    m_worker = new PresenceWorker(m_server->connection().address());
    m_worker->moveToThread(m_thread);
    connect(m_thread, &QThread::started, m_worker, &PresenceWorker::start);
    connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &PresenceWorker::othersChanged, this, &TeamController::othersChanged);
    connect(m_worker, &PresenceWorker::handed, this, &TeamController::handed);
    connect(m_worker, &PresenceWorker::offline, this, [this](const QString &why) {
        m_c.status->setText(u"Who is at which block cannot be shown for now: %1"_s.arg(why));
    });
    connect(&m_blocks, &BlockEditController::blockLoaded, this, [this](const QString &key) {
        enter(key);
        m_note.clear(); // the load wrote lblMsg afresh
        showNote();
    });
    m_thread->start();
}

TeamController::~TeamController()
{
    stop();
}

void TeamController::stop()
{
    if (!m_thread)
        return;
    // A last round trip at most: the server drops presence with the
    // connection anyway, but a lease would stand for its whole term.
    QMetaObject::invokeMethod(m_worker, &PresenceWorker::stop, Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
    m_thread = nullptr;
    m_worker = nullptr;
}

void TeamController::enter(const QString &key)
{
    if (m_worker)
        QMetaObject::invokeMethod(m_worker, [worker = m_worker, key] { worker->enter(key); });
}

void TeamController::othersChanged(const QMap<QString, QStringList> &others)
{
    m_others = others;
    QHash<QString, QString> notes;
    for (auto it = others.cbegin(); it != others.cend(); ++it)
        notes.insert(it.key(), editingNote(it.value()));
    if (ScriptTreeModel *model = ScriptTree::model(*m_c.tree))
        model->setPresence(std::move(notes));
    showNote();
}

// The note stands on a line of its own at the end of lblMsg, so the
// caption or status above it stays as the block editing wrote it.
void TeamController::showNote()
{
    const QString note = editingNote(m_others.value(m_blocks.openKey()));
    QString text = m_c.status->text();
    if (!m_note.isEmpty() && text.endsWith(m_note)) {
        text.chop(m_note.size());
        if (text.endsWith(u'\n'))
            text.chop(1);
    } else if (note.isEmpty()) {
        m_note.clear();
        return; // nothing of ours is shown; leave lblMsg alone
    }
    m_note = note;
    if (!note.isEmpty())
        text = text.isEmpty() ? note : text + u'\n' + note;
    m_c.status->setText(text);
}

void TeamController::takeNext()
{
    if (!m_worker) {
        m_c.status->setText(m_takeNext->statusTip());
        return;
    }
    // One claim at a time: a second key press waits for the first's answer.
    m_takeNext->setEnabled(false);
    QMetaObject::invokeMethod(m_worker, &PresenceWorker::takeNext);
}

void TeamController::handed(const QString &key, const QString &why)
{
    m_takeNext->setEnabled(true);
    if (key.isEmpty()) {
        m_c.status->setText(why);
        emit handedOut(QString());
        return;
    }
    if (ScriptTree::selectKey(*m_c.tree, key))
        m_blocks.openBlock(m_c.tree->currentIndex());
    if (m_blocks.openKey() != key) {
        // Not opened (not in this tree, or the open block could not be
        // left): the lease goes back at once.
        enter(m_blocks.openKey());
        m_c.status->setText(u"Block %1 was handed out but could not be opened; it is free again."_s.arg(key));
    }
    emit handedOut(m_blocks.openKey() == key ? key : QString());
}

KeepController::VersionReader TeamController::versionReader() const
{
    if (!m_server)
        return {};
    return [server = m_server](const BlockAddress &block) -> Result<std::vector<AuthoredVersion>> {
        Result<std::vector<ServerVersion>> kept = VersionCheck::history(server->connection(), block);
        if (!kept)
            return kept.error();
        std::vector<AuthoredVersion> versions;
        for (const ServerVersion &version : *kept)
            versions.push_back({{version.time, version.translation, version.comment, version.revised}, version.user});
        return versions;
    };
}

void TeamController::showRights()
{
    if (!m_server)
        return;
    const Result<TeamRights> rights = TeamRoles::rights(m_server->connection());
    if (!rights) {
        m_c.status->setText(u"What your role may do could not be read: %1"_s.arg(rights.error().message));
        return;
    }
    const QString role = roleName(*rights);
    if (!rights->revise) {
        const QString why = u"Your role (%1) cannot tick or clear Revised; a reviewer or the lead does."_s.arg(role);
        m_c.revisedHolder->setEnabled(false);
        m_c.revisedHolder->setToolTip(why);
        m_c.revised->setToolTip(why);
    }
    if (!rights->lead) {
        for (const LeadEntry &entry : std::as_const(m_leadEntries))
            explain(entry.action, u"Your role (%1) cannot %2; the team's lead does."_s.arg(role, entry.what));
    }
}
