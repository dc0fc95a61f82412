#pragma once

#include <QString>

#include <optional>

// A block node's key names its block: table ":" file_name ";" dialogue_id.
// Script nodes are keyed by the bare file name, folders by the table name,
// the root by "Root"; none of those holds a ":".
struct BlockAddress
{
    QString table;
    QString fileName;
    qint16 number = 0;

    bool operator==(const BlockAddress &) const = default;
};

// A block key cut into its three parts, the number still as written.
struct BlockKeyParts
{
    QString table;
    QString fileName;
    QString number;
};

inline const QString RootKey = QStringLiteral("Root");

// The number as the tree shows it: the stored dialogue_id's text, trimmed.
QString blockKey(const QString &table, const QString &fileName, const QString &number);
inline QString blockKey(const QString &table, const QString &fileName, qint16 number)
{
    return blockKey(table, fileName, QString::number(number));
}
// A key that is not "Root", not a table name and holds a ":".
bool isBlockKey(const QString &key);
// Cuts at the first ":" and the first ";" after it; nullopt when the key is
// not a block key or lacks the ";".
std::optional<BlockKeyParts> splitBlockKey(const QString &key);
// The same, with the number read as 16 bits; nullopt also when it does not fit.
std::optional<BlockAddress> parseBlockKey(const QString &key);
