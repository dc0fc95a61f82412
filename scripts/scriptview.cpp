#include "scripts/scriptview.h"

#include "scripts/scriptformat.h"
#include "store/nodekey.h"
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

QString viewStatement(const ViewedScript &script)
{
    return u"SELECT * FROM "_s + script.folder + u" WHERE file_name = "_s + storeLiteral(script.script) + u';';
}

bool scriptViewText(Database &db, const ViewedScript &script, QString *text, QString *error)
{
    Result<ResultSet> result = db.query(viewStatement(script));
    std::vector<ScriptRow> rows;
    if (!scriptRowsFrom(result, rows, error))
        return false;
    *text = formatScriptBlocks(rows);
    return true;
}
