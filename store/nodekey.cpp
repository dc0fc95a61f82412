#include "store/nodekey.h"

#include "store/layout.h"
#include "store/numbers.h"

QString blockKey(const QString &table, const QString &fileName, qint16 number)
{
    return table + u':' + fileName + u';' + QString::number(number);
}

bool isBlockKey(const QString &key)
{
    return key != RootKey && !ScriptTables::contains(key) && key.contains(u':');
}

std::optional<BlockAddress> parseBlockKey(const QString &key)
{
    if (!isBlockKey(key))
        return std::nullopt;
    const qsizetype colon = key.indexOf(u':');
    const qsizetype semicolon = key.indexOf(u';', colon + 1);
    if (semicolon < 0)
        return std::nullopt;
    const auto number = parseInt16(QStringView(key).mid(semicolon + 1));
    if (!number)
        return std::nullopt;
    return BlockAddress{key.left(colon), key.mid(colon + 1, semicolon - colon - 1), *number};
}
