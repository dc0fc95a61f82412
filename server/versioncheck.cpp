#include "server/versioncheck.h"

#include "store/layout.h"
#include "store/storetext.h"

using namespace Qt::StringLiterals;

Failure VersionCheck::conflict(const BlockAddress &address, const QString &by, const QString &at, qint64 now,
                               qint64 expected)
{
    return {u"Conflict: %1 changed block %2 of %3 at %4 (now version %5, yours was loaded at version %6); "
            "nothing was saved. Load the block again, or save naming version %5 to keep yours."_s.arg(
                by, QString::number(address.number), address.fileName, at, QString::number(now),
                QString::number(expected)),
            ConflictState};
}

Result<std::vector<ServerVersion>> VersionCheck::history(ServerConnection &server, const BlockAddress &address)
{
    if (!ScriptTables::contains(address.table))
        return Failure{u"There is no script table %1; use battling_arena, battle_script or field."_s.arg(
                           address.table),
                       {}};
    Result<ServerRows> rows = server.run(
        "SELECT (extract(epoch FROM replaced_at) * 1000)::bigint, translation, comment, revised, written_by, version "
        "FROM block_history WHERE block_table = $1 AND file_name = $2 AND dialogue_id = $3 ORDER BY id DESC",
        {parameter(address.table), parameter(address.fileName), QByteArray::number(address.number)});
    if (!rows)
        return rows.error();
    std::vector<ServerVersion> versions;
    for (int row = 0; row < rows->rowCount(); ++row) {
        versions.push_back({QDateTime::fromMSecsSinceEpoch(rows->number(row, 0)), fromStoreText(rows->text(row, 1)),
                            fromStoreText(rows->text(row, 2)), rows->number(row, 3) == 1, rows->text(row, 4),
                            rows->number(row, 5)});
    }
    return versions;
}
