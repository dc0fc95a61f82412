#include "server/livechanges.h"

#include <QSocketNotifier>

namespace {
constexpr int CheckMilliseconds = 5000;
}

LiveChanges::LiveChanges(ChangeFeed feed, QObject *parent)
    : QObject(parent)
    , m_feed(std::move(feed))
{
    m_check.setInterval(CheckMilliseconds);
    connect(&m_check, &QTimer::timeout, this, &LiveChanges::poll);
    m_check.start();
    watchSocket();
}

LiveChanges::~LiveChanges() = default;

void LiveChanges::watchSocket()
{
    const int socket = m_feed.socket();
    if (m_notifier && m_notifier->socket() == socket)
        return;
    m_notifier.reset();
    if (socket < 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(qintptr(socket), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &LiveChanges::poll);
}

void LiveChanges::poll()
{
    Result<std::vector<BlockChange>> changes = m_feed.take();
    // A connection made again has a socket of its own.
    watchSocket();
    if (!changes) {
        if (!m_offline)
            emit offline(changes.error().message);
        m_offline = true;
        return;
    }
    if (m_offline) {
        m_offline = false;
        emit online();
    }
    for (const BlockChange &change : *changes)
        emit changed(change);
}
