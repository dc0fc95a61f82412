#include "store/nodekey.h"

#include "store/layout.h"
#include "store/numbers.h"

QString blockKey(const QString &table, const QString &fileName, const QString &number)
{
    return table + u':' + fileName + u';' + number;
}

bool isBlockKey(const QString &key)
{
    return key != RootKey && !ScriptTables::contains(key) && key.contains(u':');
}

std::optional<BlockKeyParts> splitBlockKey(const QString &key)
{
    if (!isBlockKey(key))
        return std::nullopt;
    const qsizetype colon = key.indexOf(u':');
    const qsizetype semicolon = key.indexOf(u';', colon + 1);
    if (semicolon < 0)
        return std::nullopt;
    return BlockKeyParts{key.left(colon), key.mid(colon + 1, semicolon - colon - 1), key.mid(semicolon + 1)};
}

std::optional<BlockAddress> parseBlockKey(const QString &key)
{
    const auto parts = splitBlockKey(key);
    const auto number = parts ? parseInt16(parts->number) : std::nullopt;
    if (!number)
        return std::nullopt;
    return BlockAddress{parts->table, parts->fileName, *number};
}
