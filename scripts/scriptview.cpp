#include "scripts/scriptview.h"

#include "scripts/scriptformat.h"
#include "store/nodekey.h"

using namespace Qt::StringLiterals;

std::optional<ViewedScript> viewedScript(const QString &key)
{
    // The block number is not needed here, so a key whose number does not
    // parse still names its script.
    if (!isBlockKey(key))
        return std::nullopt;
    const qsizetype colon = key.indexOf(u':');
    const qsizetype semicolon = key.indexOf(u';', colon + 1);
    if (semicolon < 0)
        return std::nullopt;
    return ViewedScript{key.left(colon), key.mid(colon + 1, semicolon - colon - 1)};
}

QString viewStatement(const ViewedScript &script)
{
    return u"SELECT * FROM "_s + script.folder + u" WHERE file_name = '"_s + script.script + u"';"_s;
}

bool scriptViewText(Database &db, const ViewedScript &script, QString *text, QString *error)
{
    ResultSet result = db.query(viewStatement(script));
    std::vector<ScriptRow> rows;
    if (!scriptRowsFrom(result, rows, error))
        return false;
    *text = formatScriptBlocks(rows);
    return true;
}
