#include "server/versioncheck.h"

#include "store/layout.h"
#include "store/storetext.h"

#include <functional>

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

namespace {

// The field as the other changed it when mine left it alone; else mine,
// a clash when theirs changed it too, to something else.
template<typename T, typename Same>
T pick(const T &was, const T &mine, const T &theirs, Same same, bool &clash)
{
    if (same(mine, was))
        return theirs;
    if (!same(theirs, was) && !same(theirs, mine))
        clash = true;
    return mine;
}

} // namespace

std::optional<BlockEdits> VersionCheck::merge(const BlockEdits &base, const BlockEdits &mine, const BlockEdits &theirs)
{
    // The editors' line breaks and apostrophes are not the store's: texts compare in stored form.
    const auto sameText = [](const QString &a, const QString &b) {
        return toStoreText(QString(a).replace(u"\r\n"_s, u"\n"_s)) == toStoreText(QString(b).replace(u"\r\n"_s, u"\n"_s));
    };
    bool clash = false;
    BlockEdits merged;
    merged.translation = pick(base.translation, mine.translation, theirs.translation, sameText, clash);
    merged.comment = pick(base.comment, mine.comment, theirs.comment, sameText, clash);
    merged.revised = pick(base.revised, mine.revised, theirs.revised, std::equal_to<bool>(), clash);
    if (clash)
        return std::nullopt;
    merged.revised = merged.revised && !merged.translation.isEmpty();
    return merged;
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
