#include "app/presenceworker.h"

#include "server/presence.h"
#include "store/nodekey.h"

#include <QDateTime>

using namespace Qt::StringLiterals;

namespace {

// Well inside Presence::StaleSeconds and Claims::LeaseMinutes.
constexpr qint64 BeatMs = 30'000;

qint64 now()
{
    return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

PresenceWorker::PresenceWorker(QString address)
    : m_address(std::move(address))
{
    m_poll.setParent(this); // moves to the worker's thread with it
    m_poll.setInterval(PollMs);
    connect(&m_poll, &QTimer::timeout, this, &PresenceWorker::tick);
}

PresenceWorker::~PresenceWorker() = default;

void PresenceWorker::start()
{
    m_poll.start();
    tick();
}

bool PresenceWorker::connected()
{
    if (m_server)
        return true;
    if (now() < m_retryAt)
        return false;
    Result<ServerConnection> opened = ServerConnection::open(m_address);
    if (!opened) {
        lost(opened.error());
        return false;
    }
    m_server.emplace(std::move(*opened));
    m_offline = false;
    m_lastBeat = now();
    // Back after a loss: where the translator is, and their lease, again.
    if (const auto at = parseBlockKey(m_at))
        (void)Presence::enter(*m_server, *at);
    if (const auto leased = parseBlockKey(m_leased))
        (void)Claims::renew(*m_server, *leased);
    return true;
}

void PresenceWorker::lost(const Failure &failure)
{
    m_server.reset();
    m_retryAt = now() + RetryMs;
    // Unseen is not there: no badge stands on what can no longer be looked at.
    if (!m_others.isEmpty()) {
        m_others.clear();
        emit othersChanged(m_others);
    }
    if (!m_offline)
        emit offline(failure.message);
    m_offline = true;
}

void PresenceWorker::tick()
{
    if (!connected())
        return;
    if (now() - m_lastBeat >= BeatMs) {
        m_lastBeat = now();
        Result<Done> beat = Presence::heartbeat(*m_server);
        if (beat) {
            if (const auto leased = parseBlockKey(m_leased))
                beat = Claims::renew(*m_server, *leased);
        }
        if (!beat)
            return lost(beat.error());
    }
    Result<std::vector<PresenceEntry>> people = Presence::who(*m_server);
    if (!people)
        return lost(people.error());
    QMap<QString, QStringList> others;
    const int mine = m_server->backendPid();
    for (const PresenceEntry &person : *people) {
        if (person.pid != mine)
            others[blockKey(person.block.table, person.block.fileName, person.block.number)] << person.user;
    }
    if (others != m_others) {
        m_others = others;
        emit othersChanged(m_others);
    }
}

void PresenceWorker::releaseLease()
{
    const auto leased = parseBlockKey(m_leased);
    m_leased.clear();
    if (leased && m_server) {
        if (Result<Done> released = Claims::release(*m_server, *leased); !released)
            lost(released.error());
    }
}

void PresenceWorker::enter(const QString &key)
{
    if (key != m_leased && !m_leased.isEmpty())
        releaseLease();
    if (key == m_at)
        return;
    m_at = key;
    if (!connected())
        return; // entered when the connection is back
    const auto at = parseBlockKey(key);
    Result<Done> done = at ? Presence::enter(*m_server, *at) : Presence::leave(*m_server);
    if (!done)
        lost(done.error());
}

void PresenceWorker::takeNext()
{
    if (!connected()) {
        emit handed(QString(), u"The team server cannot be reached; try again in a moment."_s);
        return;
    }
    Result<std::vector<Lease>> leases = Claims::claim(*m_server, QString(), 1);
    if (!leases) {
        lost(leases.error());
        emit handed(QString(), leases.error().message);
        return;
    }
    if (leases->empty()) {
        emit handed(QString(), u"Every untranslated block is translated, held by someone or leased."_s);
        return;
    }
    const BlockAddress &block = leases->front().block;
    releaseLease(); // one lease at a time: the next block is the one to go to
    m_leased = blockKey(block.table, block.fileName, block.number);
    emit handed(m_leased, QString());
}

void PresenceWorker::stop()
{
    m_poll.stop();
    if (m_server) {
        releaseLease();
        if (m_server)
            (void)Presence::leave(*m_server);
    }
    m_server.reset();
}
