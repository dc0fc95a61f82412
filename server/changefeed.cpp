#include "server/changefeed.h"

#include "server/teamschema.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QByteArray Listen = QByteArray("LISTEN ") + TeamSchema::Channel;

std::optional<BlockChange> changeOf(const QByteArray &payload)
{
    const QJsonObject o = QJsonDocument::fromJson(payload).object();
    if (!o.contains("seq"_L1))
        return std::nullopt;
    return BlockChange{o["seq"_L1].toInteger(), o["table"_L1].toString(), o["file_name"_L1].toString(),
                       o["dialogue_id"_L1].toInt(), o["version"_L1].toInteger(), o["user"_L1].toString(),
                       o["time"_L1].toString()};
}

// LISTEN first, then the newest number: a change committed in between is
// announced and read, and given once.
Result<qint64> startListening(ServerConnection &server)
{
    if (Result<ServerRows> listening = server.run(Listen.constData()); !listening)
        return listening.error();
    Result<ServerRows> newest = server.run("SELECT coalesce(max(seq), 0) FROM block_change");
    if (!newest)
        return newest.error();
    return newest->number(0, 0);
}

} // namespace

ChangeFeed::ChangeFeed(QString address, ServerConnection connection, qint64 last)
    : m_address(std::move(address))
    , m_server(std::move(connection))
    , m_last(last)
{
}

Result<ChangeFeed> ChangeFeed::open(const QString &address)
{
    Result<ServerConnection> server = ServerConnection::open(address);
    if (!server)
        return server.error();
    Result<qint64> newest = startListening(*server);
    if (!newest)
        return newest.error();
    return ChangeFeed(address, std::move(*server), *newest);
}

int ChangeFeed::socket() const
{
    return m_server ? m_server->socket() : -1;
}

int ChangeFeed::backendPid() const
{
    return m_server ? m_server->backendPid() : 0;
}

std::vector<BlockChange> ChangeFeed::unseen(std::vector<BlockChange> changes)
{
    std::vector<BlockChange> fresh;
    for (BlockChange &change : changes) {
        if (change.seq > m_last) {
            m_last = change.seq;
            fresh.push_back(std::move(change));
        }
    }
    return fresh;
}

Result<std::vector<BlockChange>> ChangeFeed::since(qint64 seq)
{
    if (!m_server)
        return Failure{u"The server cannot be reached; the changes are read once it is back."_s, u"08006"_s};
    Result<ServerRows> rows = m_server->run(
        "SELECT seq, block_table, file_name, dialogue_id, version, changed_by, "
        "to_char(changed_at AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS\"Z\"') FROM block_change "
        "WHERE seq > $1 ORDER BY seq",
        {QByteArray::number(seq)});
    if (!rows)
        return rows.error();
    std::vector<BlockChange> changes;
    for (int row = 0; row < rows->rowCount(); ++row) {
        changes.push_back({rows->number(row, 0), rows->text(row, 1), rows->text(row, 2), int(rows->number(row, 3)),
                           rows->number(row, 4), rows->text(row, 5), rows->text(row, 6)});
    }
    return changes;
}

Result<Done> ChangeFeed::reconnect()
{
    m_server.reset();
    Result<ServerConnection> server = ServerConnection::open(m_address);
    if (!server)
        return server.error();
    if (Result<qint64> newest = startListening(*server); !newest)
        return newest.error();
    m_server.emplace(std::move(*server));
    return Done{};
}

Result<std::vector<BlockChange>> ChangeFeed::take()
{
    Result<QList<ServerConnection::Notification>> received =
        m_server ? m_server->notifications() : Result<QList<ServerConnection::Notification>>(Failure{});
    if (received) {
        std::vector<BlockChange> changes;
        for (const ServerConnection::Notification &notification : *received) {
            if (const auto change = changeOf(notification.payload))
                changes.push_back(*change);
        }
        return unseen(std::move(changes));
    }
    // Announcements made while away are gone: the sequence has them all.
    if (Result<Done> back = reconnect(); !back)
        return back.error();
    Result<std::vector<BlockChange>> missed = since(m_last);
    if (!missed)
        return missed.error();
    return unseen(std::move(*missed));
}

Result<std::vector<BlockChange>> ChangeFeed::wait(int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    while (true) {
        Result<std::vector<BlockChange>> changes = take();
        if (!changes || !changes->empty() || deadline.hasExpired())
            return changes;
        QEventLoop loop;
        QSocketNotifier readable(qintptr(socket()), QSocketNotifier::Read);
        QObject::connect(&readable, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
        QTimer::singleShot(deadline.remainingTime(), &loop, &QEventLoop::quit);
        loop.exec();
    }
}
