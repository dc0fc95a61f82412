#include "scripts/scriptview.h"

#include "keeping/projectstore.h"
#include "scripts/scriptformat.h"
#include "store/nodekey.h"
#include "store/scriptrows.h"
#include "store/storetext.h"

using namespace Qt::StringLiterals;

std::optional<ViewedScript> viewedScript(const QString &key)
{
    // The block number is not needed here, so a key whose number does not
    // parse still names its script.
    const auto parts = splitBlockKey(key);
    if (!parts)
        return std::nullopt;
    return ViewedScript{parts->table, parts->fileName};
}

Result<QString> scriptViewText(Database &db, const ViewedScript &script)
{
    Result<ResultSet> result = folderRows(db, script.folder, script.script);
    const Result<std::vector<ScriptRow>> rows = scriptRowsFrom(result);
    if (!rows)
        return rows.error();
    return formatScriptBlocks(*rows);
}

Result<QString> scriptViewText(ProjectStore &store, const ViewedScript &script)
{
    const Result<std::vector<BlockRow>> stored = store.scriptRows(script.folder, script.script);
    if (!stored)
        return stored.error();
    const Result<std::vector<ScriptRow>> rows = scriptRowsFrom(*stored);
    if (!rows)
        return rows.error();
    return formatScriptBlocks(*rows);
}
