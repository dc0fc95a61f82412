#pragma once

#include <QChar>
#include <QString>

// Words under the mouse are cut by the code page of the game's text: a
// character is part of a word only when its Windows-1252 code is a digit, an
// ASCII letter, the slash (47), 130 or 160 to 165. Accented letters (166 up)
// and characters the code page lacks end a word.
bool isDelimiter(QChar c);

// The word around the character just before 0-based index `p` of `text`.
// Both scans run on 1-based positions from p, so p at a word's first letter
// finds nothing, and p < 1 finds nothing and leaves the state untouched.
// `wordStart` (1-based) is set whenever p >= 1; `currentWord` only when a
// word is found. An index that does not fit the 16-bit position (or lies
// past the text) is treated like p < 1.
QString wordOver(const QString &text, qsizetype p, qint16 &wordStart, QString &currentWord);
