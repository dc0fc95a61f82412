#pragma once

#include <QString>

struct sqlite3;

// Overrides like(X,Y) and like(X,Y,Z) on one connection with LIKE that keeps
// SQLite's wildcards (% any run, _ one character) and its ESCAPE, but whose
// letters match regardless of case for the whole of Unicode, not only ASCII:
// "Á" matches "á", "Ñ" "ñ", "Ü" "ü". Accents still count: "el" does not match
// "él". Returns SQLite's result code.
int installUnicodeLike(sqlite3 *db);

// A text as this LIKE compares it, each character folded the same way, so
// that another store can keep folded copies and match them with a plain,
// case-sensitive LIKE and give the same hits.
QString unicodeLikeFolded(const QString &text);
