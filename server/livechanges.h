#pragma once

#include "server/changefeed.h"

#include <QObject>
#include <QTimer>

#include <memory>

class QSocketNotifier;

// The change feed for a window: each committed change as a signal on the
// thread's event loop, never blocking it. After a lost connection it
// connects again (trying every few seconds, saying so once by `offline`)
// and hands out what was missed from the change sequence before going on.
class LiveChanges : public QObject
{
    Q_OBJECT

public:
    explicit LiveChanges(ChangeFeed feed, QObject *parent = nullptr);
    ~LiveChanges() override;

    // The listening connection's, for a test that ends it as a lost network would.
    int backendPid() const { return m_feed.backendPid(); }

signals:
    void changed(const BlockChange &change);
    void offline(const QString &why);
    void online();

private:
    void poll();
    void watchSocket();

    ChangeFeed m_feed;
    std::unique_ptr<QSocketNotifier> m_notifier;
    // A connection that vanishes without a word gives the socket nothing to
    // report; a regular look notices it.
    QTimer m_check;
    bool m_offline = false;
};
