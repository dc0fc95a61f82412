#pragma once

#include "store/database.h"

#include <QString>
#include <QStringList>

#include <array>

// The three script tables, in the order every walk over them uses.
namespace ScriptTables {
inline const QString battlingArena = QStringLiteral("battling_arena");
inline const QString battleScript = QStringLiteral("battle_script");
inline const QString field = QStringLiteral("field");
inline const std::array<QString, 3> all = {battlingArena, battleScript, field};
bool contains(const QString &name);
} // namespace ScriptTables

// Columns of a script table, read by position.
enum ScriptColumn {
    ColFileName = 0,
    ColDialogueId = 1,
    ColTextData = 2,
    ColWidth = 3,
    ColHeight = 4,
    ColComments = 5,
    ColTranslated = 6,
    ColRevised = 7,
    ColTextDataT = 8,
    ColNewWidth = 9,
    ColNewHeight = 10,
};

// Columns of the word-link table `suggestion`, read by position.
enum SuggestionColumn {
    ColWord = 0,
    ColSuggest1 = 1,
    ColSuggest5 = 5,
    ColComment = 6,
};

inline const QString StoreFileName = QStringLiteral("tallowpen.db");

// Creates a new, empty store file with the four tables and their indexes.
// Refuses when `path` exists. The editor never calls this: it only requires
// the file to be there.
Result<Done> createStore(const QString &path);
