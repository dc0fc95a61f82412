#pragma once

#include <QStringView>

struct sqlite3;

// LIKE with SQLite's wildcards (% any run, _ one character) but whose letters
// match regardless of case for the whole of Unicode, not only ASCII: "Á"
// matches "á", "Ñ" "ñ", "Ü" "ü". Accents still count: "el" does not match
// "él". An escape character, when given, makes the next pattern character
// literal, as SQLite's LIKE ... ESCAPE does.
bool unicodeLikeMatches(QStringView pattern, QStringView text, char32_t escape = 0);

// Overrides like(X,Y) and like(X,Y,Z) on one connection with the rule above.
// Returns SQLite's result code.
int installUnicodeLike(sqlite3 *db);
