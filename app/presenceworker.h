#pragma once

#include "server/connection.h"

#include <QMap>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <optional>

// The editor's side of presence and claims, on a connection and a thread of
// its own so that no round trip ever holds the window: where the translator
// is, the lease of the block handed out to them, and who else is where.
//
// Thread contract: lives on its own thread; the window calls its slots
// through queued calls and hears its signals the same way.
class PresenceWorker : public QObject
{
    Q_OBJECT

public:
    // Often enough that a badge comes and goes within a couple of seconds.
    static constexpr int PollMs = 1000;
    // A lost connection is tried again this long after; the presence and the
    // lease it held come back with it.
    static constexpr int RetryMs = 5000;

    explicit PresenceWorker(QString address);
    ~PresenceWorker() override;

    // Connects and starts looking; run on the worker's thread.
    void start();
    // The translator is at the block (empty: at none). Leaving the leased
    // block releases its lease.
    void enter(const QString &key);
    // Leases the next untranslated block nobody holds; `handed` says which.
    void takeNext();
    // Leaves, releases and disconnects, before the thread ends.
    void stop();

signals:
    // Everyone else at a block, by node key, the earliest first; sent when it changes.
    void othersChanged(const QMap<QString, QStringList> &others);
    // The block leased by takeNext; empty when none was left, with why.
    void handed(const QString &key, const QString &why);
    // The server could not be reached; said once until it is again.
    void offline(const QString &why);

private:
    void tick();
    bool connected();
    void lost(const Failure &failure);
    void releaseLease();

    QString m_address;
    std::optional<ServerConnection> m_server;
    QTimer m_poll;
    QString m_at;     // the block the translator is at
    QString m_leased; // the block leased to them
    QMap<QString, QStringList> m_others;
    qint64 m_lastBeat = 0;
    qint64 m_retryAt = 0;
    bool m_offline = false;
};
