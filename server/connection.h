#pragma once

#include "store/result.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

#include <memory>

struct pg_conn;
struct pg_result;

// The rows one statement gave, kept as the server sent them (text format).
class ServerRows
{
public:
    int rowCount() const;
    bool isNull(int row, int column) const;
    QString text(int row, int column) const;
    qint64 number(int row, int column) const;
    // NULL as an invalid QVariant, whole-number columns as qlonglong and the
    // rest as QString: the shapes a SQLite row gives.
    QVariant value(int row, int column) const;
    // The row count a write reported (UPDATE 3 gives 3).
    qint64 affected() const;

private:
    friend class ServerConnection;
    struct Clear
    {
        void operator()(pg_result *result) const;
    };
    std::shared_ptr<pg_result> m_result;
};

// One connection to a server database, through libpq.
//
// Every text travels as a bound parameter ($1, $2...), never inside a
// statement's text; statements here are fixed texts of the program's own.
// Every result is checked: a failure comes back as a Failure and
// transaction() rolls back whatever its body began.
//
// Thread contract: the thread that opened it, one statement at a time.
class ServerConnection
{
public:
    // A libpq URI or key=value words. Waits at most connect_timeout seconds
    // (10 unless the address sets its own): a server that does not answer is
    // an error, never a hang.
    static Result<ServerConnection> open(const QString &address);

    Result<ServerRows> run(const char *statement, const QList<QByteArray> &parameters = {});
    // Several fixed statements in one text (the layout), without parameters.
    Result<Done> runScript(const char *statements);
    // COPY ... FROM STDIN with `data` in COPY's text format.
    Result<Done> copyIn(const char *statement, const QByteArray &data);

    // BEGIN, the body, COMMIT; ROLLBACK when the body fails. A COMMIT the
    // server turns into a rollback is a failure too.
    template<typename T, typename Body>
    Result<T> transaction(Body &&body, const char *begin = "BEGIN")
    {
        if (Result<ServerRows> started = run(begin); !started)
            return started.error();
        m_inTransaction = true;
        Result<T> outcome = body();
        if (!outcome) {
            rollback();
            m_inTransaction = false;
            return outcome;
        }
        Result<Done> committed = commit();
        m_inTransaction = false;
        if (!committed)
            return committed.error();
        return outcome;
    }

    // The notifications the server has sent (LISTEN), read without waiting;
    // a failure when the connection is lost. The socket is for waiting on.
    struct Notification
    {
        QString channel;
        QByteArray payload;
    };
    Result<QList<Notification>> notifications();
    int socket() const;

    // Why an address may not be kept (it holds a password); empty when it
    // may. An address that cannot be read is the connection's to report.
    static QString passwordProblem(const QString &address);

    // "user@host/database", for titles and messages.
    QString where() const;
    // As given to open(), for a second connection of the same user to the
    // same database (a thread's own). Held in memory only: it holds the
    // password when the address gave one.
    const QString &address() const { return m_address; }
    int backendPid() const;
    // True when a connection failure (lost, or the server not reached) is why it failed.
    static bool isLost(const Failure &failure) { return failure.sqlState.startsWith(QLatin1String("08")); }

private:
    struct Finish
    {
        void operator()(pg_conn *conn) const;
    };
    explicit ServerConnection(pg_conn *conn);
    Result<Done> commit();
    void rollback();
    Failure failure(const pg_result *result) const;

    std::unique_ptr<pg_conn, Finish> m_conn;
    bool m_inTransaction = false;
    QString m_address;
};

// A text as a parameter: UTF-8, never a null pointer (which would be SQL NULL).
inline QByteArray parameter(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.isNull())
        bytes = QByteArray("");
    return bytes;
}
