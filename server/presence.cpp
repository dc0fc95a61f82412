#include "server/presence.h"

#include "server/teamschema.h"
#include "store/layout.h"

using namespace Qt::StringLiterals;

namespace {

const QByteArray Kind = QByteArray::number(TeamSchema::PresenceLock);

QList<QByteArray> blockParameters(const BlockAddress &block)
{
    return {parameter(block.table), parameter(block.fileName), QByteArray::number(block.number)};
}

// Somebody holds a block when a live session is at it or a lease runs.
const QByteArray Held = "EXISTS (SELECT 1 FROM block_lease l WHERE l.block_table = $1 AND l.file_name = b.file_name "
                        "AND l.dialogue_id = b.dialogue_id AND l.claimed_until > now()) "
                        "OR EXISTS (SELECT 1 FROM presence p JOIN pg_stat_activity a ON a.pid = p.pid "
                        "WHERE p.block_table = $1 AND p.file_name = b.file_name AND p.dialogue_id = b.dialogue_id)";

} // namespace

Result<Done> Presence::enter(ServerConnection &server, const BlockAddress &block)
{
    if (Result<Done> left = leave(server); !left)
        return left.error();
    // Rows of sessions that ended are cleared by whoever comes next.
    const QByteArray sql = "WITH gone AS (DELETE FROM presence WHERE pid NOT IN (SELECT pid FROM pg_stat_activity)), "
                           "entry AS (INSERT INTO presence (pid, block_table, file_name, dialogue_id, lock_key) "
                           "VALUES (pg_backend_pid(), $1, $2, $3, pg_backend_pid()) "
                           "RETURNING lock_key) "
                           "SELECT pg_try_advisory_lock(" + Kind + ", lock_key) FROM entry";
    Result<ServerRows> entered = server.run(sql.constData(), blockParameters(block));
    if (!entered)
        return entered.error();
    return Done{};
}

Result<Done> Presence::leave(ServerConnection &server)
{
    const QByteArray sql = "WITH mine AS (DELETE FROM presence WHERE pid = pg_backend_pid() RETURNING lock_key) "
                           "SELECT pg_advisory_unlock(" + Kind + ", lock_key) FROM mine";
    Result<ServerRows> left = server.run(sql.constData());
    if (!left)
        return left.error();
    return Done{};
}

Result<Done> Presence::heartbeat(ServerConnection &server)
{
    Result<ServerRows> beat = server.run("UPDATE presence SET heartbeat = now() WHERE pid = pg_backend_pid()");
    if (!beat)
        return beat.error();
    return Done{};
}

Result<std::vector<PresenceEntry>> Presence::who(ServerConnection &server)
{
    const QByteArray sql = "SELECT p.user_name, p.block_table, p.file_name, p.dialogue_id, "
                           "to_char(p.since AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS\"Z\"'), p.pid FROM presence p "
                           "WHERE p.heartbeat > now() - make_interval(secs => " + QByteArray::number(StaleSeconds)
        + ") AND EXISTS (SELECT 1 FROM pg_locks k WHERE k.locktype = 'advisory' AND k.granted AND k.pid = p.pid "
          "AND k.classid = " + Kind + " AND k.objid::bigint = p.lock_key AND k.objsubid = 2) "
          "ORDER BY p.since, p.pid";
    Result<ServerRows> rows = server.run(sql.constData());
    if (!rows)
        return rows.error();
    std::vector<PresenceEntry> people;
    for (int row = 0; row < rows->rowCount(); ++row) {
        people.push_back({rows->text(row, 0), {rows->text(row, 1), rows->text(row, 2), qint16(rows->number(row, 3))},
                          rows->text(row, 4), int(rows->number(row, 5))});
    }
    return people;
}

Result<std::vector<Lease>> Claims::claim(ServerConnection &server, const QString &folder, int count)
{
    QStringList tables;
    for (const QString &table : ScriptTables::all) {
        if (folder.isEmpty() || folder == table)
            tables << table;
    }
    if (tables.isEmpty())
        return Failure{u"Unknown folder %1: use battling_arena, battle_script or field."_s.arg(folder), {}};
    std::vector<Lease> leased;
    Result<Done> done = server.transaction<Done>([&]() -> Result<Done> {
        // One claim at a time: each sees the leases of the one before.
        const QByteArray serial = "SELECT pg_advisory_xact_lock(" + QByteArray::number(TeamSchema::ClaimLock) + ", 0)";
        if (Result<ServerRows> turn = server.run(serial.constData()); !turn)
            return turn.error();
        for (const QString &table : tables) {
            const int wanted = count - int(leased.size());
            if (wanted <= 0)
                break;
            // The rows a save holds are skipped rather than waited for.
            const QByteArray sql = "WITH next AS (SELECT b.file_name, b.dialogue_id FROM " + table.toLatin1()
                + " b WHERE b.translated = 0 AND NOT (" + Held + ") ORDER BY b.row_id LIMIT $2 "
                  "FOR UPDATE OF b SKIP LOCKED) "
                  "INSERT INTO block_lease (block_table, file_name, dialogue_id, claimed_until) "
                  "SELECT $1, file_name, dialogue_id, now() + make_interval(mins => "
                + QByteArray::number(LeaseMinutes)
                + ") FROM next ON CONFLICT (block_table, file_name, dialogue_id) DO UPDATE SET "
                  "claimed_by = session_user, claimed_until = EXCLUDED.claimed_until "
                  "RETURNING file_name, dialogue_id, "
                  "to_char(claimed_until AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS\"Z\"')";
            Result<ServerRows> rows = server.run(sql.constData(), {parameter(table), QByteArray::number(wanted)});
            if (!rows)
                return rows.error();
            for (int row = 0; row < rows->rowCount(); ++row)
                leased.push_back({{table, rows->text(row, 0), qint16(rows->number(row, 1))}, rows->text(row, 2)});
        }
        return Done{};
    });
    if (!done)
        return done.error();
    return leased;
}

Result<Done> Claims::renew(ServerConnection &server, const BlockAddress &block)
{
    const QByteArray sql = "UPDATE block_lease SET claimed_until = now() + make_interval(mins => "
        + QByteArray::number(LeaseMinutes)
        + ") WHERE block_table = $1 AND file_name = $2 AND dialogue_id = $3 AND claimed_by = session_user";
    Result<ServerRows> renewed = server.run(sql.constData(), blockParameters(block));
    if (!renewed)
        return renewed.error();
    return Done{};
}

Result<Done> Claims::release(ServerConnection &server, const BlockAddress &block)
{
    Result<ServerRows> released = server.run(
        "DELETE FROM block_lease WHERE block_table = $1 AND file_name = $2 AND dialogue_id = $3 "
        "AND claimed_by = session_user",
        blockParameters(block));
    if (!released)
        return released.error();
    return Done{};
}
