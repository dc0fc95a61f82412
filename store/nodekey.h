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

inline const QString RootKey = QStringLiteral("Root");

QString blockKey(const QString &table, const QString &fileName, qint16 number);
// A key that is not "Root", not a table name and holds a ":".
bool isBlockKey(const QString &key);
// Splits at the first ":" and the first ";" after it. nullopt when the key
// is not a block key, lacks the ";", or its number does not fit 16 bits.
std::optional<BlockAddress> parseBlockKey(const QString &key);
