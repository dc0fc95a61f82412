#include "server/connection.h"

#include <QStringList>

#include <libpq-fe.h>

#include <array>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Whole-number types by their fixed OIDs (int8, int2, int4).
bool isWholeNumber(Oid type)
{
    return type == 20 || type == 21 || type == 23;
}

// libpq's messages run over several indented lines; a sentence ends in one stop.
QString oneLine(const char *message)
{
    QStringList lines = QString::fromUtf8(message).split(u'\n', Qt::SkipEmptyParts);
    for (QString &line : lines)
        line = line.simplified();
    QString text = lines.join(u"; "_s);
    while (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

QString orUnknown(const char *text)
{
    return text && *text ? QString::fromUtf8(text) : u"(unknown)"_s;
}

// libpq takes a parameter as a C string, so a zero character would cut the
// text short without a word: refused before anything is sent.
bool holdsZero(const QList<QByteArray> &parameters)
{
    for (const QByteArray &bytes : parameters) {
        if (bytes.contains('\0'))
            return true;
    }
    return false;
}

// The server's notices ("table does not exist, skipping") are no message
// for the user, and stderr is the commands' own.
void dropNotice(void *, const char *)
{
}

const Failure ZeroCharacter{
    u"A text holding a zero character cannot be stored on the server; nothing was changed. "
    "Remove the character and try again."_s,
    u"22021"_s};

} // namespace

void ServerRows::Clear::operator()(pg_result *result) const
{
    PQclear(result);
}

int ServerRows::rowCount() const
{
    return m_result ? PQntuples(m_result.get()) : 0;
}

bool ServerRows::isNull(int row, int column) const
{
    return PQgetisnull(m_result.get(), row, column) == 1;
}

QString ServerRows::text(int row, int column) const
{
    return QString::fromUtf8(PQgetvalue(m_result.get(), row, column),
                             PQgetlength(m_result.get(), row, column));
}

qint64 ServerRows::number(int row, int column) const
{
    return QByteArray(PQgetvalue(m_result.get(), row, column)).toLongLong();
}

QVariant ServerRows::value(int row, int column) const
{
    if (isNull(row, column))
        return {};
    if (isWholeNumber(PQftype(m_result.get(), column)))
        return qlonglong(number(row, column));
    return text(row, column);
}

qint64 ServerRows::affected() const
{
    return QByteArray(PQcmdTuples(m_result.get())).toLongLong();
}

void ServerConnection::Finish::operator()(pg_conn *conn) const
{
    PQfinish(conn);
}

ServerConnection::ServerConnection(pg_conn *conn)
    : m_conn(conn)
{
}

Result<ServerConnection> ServerConnection::open(const QString &address)
{
    const QByteArray words = address.toUtf8();
    char *parseError = nullptr;
    PQconninfoOption *parsed = PQconninfoParse(words.constData(), &parseError);
    if (!parsed) {
        const QString why = parseError ? oneLine(parseError) : u"out of memory"_s;
        PQfreemem(parseError);
        return Failure{u"The server address cannot be read: %1. Give a URI such as "
                           "postgresql://user@host/database, or key=value words, with --server or "
                           "$TALLOWPEN_SERVER."_s.arg(why),
                           {}};
    }
    PQconninfoFree(parsed);

    // Later words win: the address may set its own timeouts and name, but the
    // texts always arrive as UTF-8. Over TCP, a server that vanishes without
    // a word is noticed within about a minute instead of never.
    const std::array<const char *, 8> keys = {"connect_timeout", "keepalives_idle", "keepalives_interval",
                                              "tcp_user_timeout", "fallback_application_name", "dbname",
                                              "client_encoding", nullptr};
    const std::array<const char *, 8> values = {"10", "30", "10", "60000", "tallowpen", words.constData(), "UTF8",
                                                nullptr};
    pg_conn *conn = PQconnectdbParams(keys.data(), values.data(), 1);
    ServerConnection connection(conn);
    if (!conn)
        return Failure{u"Cannot connect to the server: out of memory."_s, {}};
    connection.m_address = address;
    PQsetNoticeProcessor(conn, dropNotice, nullptr);
    if (PQstatus(conn) != CONNECTION_OK) {
        return Failure{u"Cannot connect to database %1 on host %2: %3 - check the address given with --server "
                           "or $TALLOWPEN_SERVER, and that the server runs and lets you in."_s.arg(
                               orUnknown(PQdb(conn)), orUnknown(PQhost(conn)), oneLine(PQerrorMessage(conn))),
                           u"08001"_s};
    }
    return connection;
}

QString ServerConnection::passwordProblem(const QString &address)
{
    const QByteArray words = address.toUtf8();
    PQconninfoOption *parsed = PQconninfoParse(words.constData(), nullptr);
    if (!parsed)
        return {};
    bool holdsPassword = false;
    for (const PQconninfoOption *option = parsed; option->keyword; ++option) {
        if (qstrcmp(option->keyword, "password") == 0 && option->val && *option->val)
            holdsPassword = true;
    }
    PQconninfoFree(parsed);
    if (!holdsPassword)
        return {};
    return u"The server address holds a password, and Tallowpen keeps none in its settings. Give the address "
           "without it and keep the password in libpq's password file (~/.pgpass, or the file PGPASSFILE "
           "names), or sign in with a client certificate."_s;
}

QString ServerConnection::where() const
{
    return orUnknown(PQuser(m_conn.get())) + u'@' + orUnknown(PQhost(m_conn.get())) + u'/'
        + orUnknown(PQdb(m_conn.get()));
}

int ServerConnection::backendPid() const
{
    return PQbackendPID(m_conn.get());
}

Result<QList<ServerConnection::Notification>> ServerConnection::notifications()
{
    if (PQconsumeInput(m_conn.get()) != 1 || PQstatus(m_conn.get()) != CONNECTION_OK)
        return failure(nullptr);
    QList<Notification> received;
    while (PGnotify *notify = PQnotifies(m_conn.get())) {
        received.append({QString::fromUtf8(notify->relname), QByteArray(notify->extra)});
        PQfreemem(notify);
    }
    return received;
}

int ServerConnection::socket() const
{
    return PQsocket(m_conn.get());
}

Failure ServerConnection::failure(const pg_result *result) const
{
    QString state = result ? QString::fromUtf8(PQresultErrorField(result, PG_DIAG_SQLSTATE)) : QString();
    QString why = result ? oneLine(PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY)) : QString();
    if (result) {
        if (const char *detail = PQresultErrorField(result, PG_DIAG_MESSAGE_DETAIL))
            why += u" ("_s + oneLine(detail) + u')';
    }
    if (why.isEmpty())
        why = oneLine(PQerrorMessage(m_conn.get()));
    if (PQstatus(m_conn.get()) == CONNECTION_BAD) {
        return {u"The connection to %1 was lost: %2. Nothing that was not yet committed was kept; run the "
                "command again once the server is back."_s.arg(where(), why),
                u"08006"_s};
    }
    if (state == u"42501")
        why += u" - your role on this server does not allow it; a database owner gives roles with "
               "'tallowpen-cli server-grant'"_s;
    return {u"The server %1 refused the command: %2"_s.arg(where(), why), state};
}

Result<ServerRows> ServerConnection::run(const char *statement, const QList<QByteArray> &parameters)
{
    if (holdsZero(parameters))
        return ZeroCharacter;
    // A connection lost between statements is made again for the next one;
    // inside a transaction the work is gone and the failure says so.
    if (!m_inTransaction && PQstatus(m_conn.get()) == CONNECTION_BAD)
        PQreset(m_conn.get());
    std::vector<const char *> values;
    values.reserve(size_t(parameters.size()));
    for (const QByteArray &bytes : parameters)
        values.push_back(bytes.constData());
    ServerRows rows;
    rows.m_result.reset(PQexecParams(m_conn.get(), statement, int(values.size()), nullptr, values.data(), nullptr,
                                     nullptr, 0),
                        ServerRows::Clear());
    const ExecStatusType status = rows.m_result ? PQresultStatus(rows.m_result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        return failure(rows.m_result.get());
    return rows;
}

Result<Done> ServerConnection::runScript(const char *statements)
{
    const std::unique_ptr<pg_result, ServerRows::Clear> result(PQexec(m_conn.get(), statements));
    if (!result || PQresultStatus(result.get()) != PGRES_COMMAND_OK)
        return failure(result.get());
    return Done{};
}

Result<Done> ServerConnection::copyIn(const char *statement, const QByteArray &data)
{
    if (data.contains('\0'))
        return ZeroCharacter;
    {
        const std::unique_ptr<pg_result, ServerRows::Clear> started(PQexec(m_conn.get(), statement));
        if (!started || PQresultStatus(started.get()) != PGRES_COPY_IN)
            return failure(started.get());
    }
    constexpr qsizetype Chunk = 1 << 20;
    bool sent = true;
    for (qsizetype at = 0; at < data.size() && sent; at += Chunk)
        sent = PQputCopyData(m_conn.get(), data.constData() + at, int(std::min(Chunk, data.size() - at))) == 1;
    if (PQputCopyEnd(m_conn.get(), sent ? nullptr : "the program could not send every row") != 1)
        return failure(nullptr);
    // The COPY's own result, then the null that ends the command.
    Failure error;
    bool failed = false;
    while (pg_result *raw = PQgetResult(m_conn.get())) {
        const std::unique_ptr<pg_result, ServerRows::Clear> result(raw);
        if (PQresultStatus(raw) != PGRES_COMMAND_OK && !failed) {
            error = failure(raw);
            failed = true;
        }
    }
    if (failed)
        return error;
    return Done{};
}

Result<Done> ServerConnection::commit()
{
    Result<ServerRows> committed = run("COMMIT");
    if (!committed)
        return committed.error();
    // An earlier failure the body did not report turns COMMIT into ROLLBACK.
    if (QByteArray(PQcmdStatus(committed->m_result.get())) != "COMMIT")
        return Failure{u"The server %1 rolled the work back instead of keeping it; nothing was changed."_s.arg(
                               where()),
                           u"40000"_s};
    return Done{};
}

void ServerConnection::rollback()
{
    // Nothing to do when the connection is gone: the server drops the work.
    if (PQstatus(m_conn.get()) == CONNECTION_OK)
        std::unique_ptr<pg_result, ServerRows::Clear>(PQexec(m_conn.get(), "ROLLBACK"));
}
