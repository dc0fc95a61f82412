#pragma once

#include <QList>
#include <QStringView>

struct WordSpan
{
    qsizetype start = 0;
    qsizetype length = 0;

    bool operator==(const WordSpan &) const = default;
};

// Letters, digits and combining marks: what a word is made of (digits
// included, so that "2x" is one run, though not a word to check).
bool isWordCharacter(QChar c);

// The words of a translation that a dictionary should see, in text order.
//
// A word is a run of letters (accented letters, ñ and ü are letters like any
// other) with the combining marks that belong to them; ¿, ¡, digits and every
// other mark part words. Skipped: the game's tags, from "<" to the next ">"
// (<Wait>, <Delay 3>, speaker tags), runs that hold digits ("2x", "3er"), and
// the grave accent that stands for the apostrophe, which parts words like any
// other mark. A lone letter just after such an accent ("Kid`s") is the tail
// of an elided word, not a Spanish word, and is skipped too.
QList<WordSpan> splitWords(QStringView text);
