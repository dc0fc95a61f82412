#pragma once

#include <QList>
#include <QStringView>

// The block-text tag vocabulary: what each tag shows in the preview and how
// it breaks pages. A tag is everything from "<" up to and including the next
// ">", matched whole and case-sensitively.
enum class PageTag { None, New, Wait, Close, EndOfBlock };

struct TagMeaning
{
    QStringView text;         // what the tag adds to the page
    PageTag page = PageTag::None;
    bool unknownMark = false; // "<UNKNOWN..." and "<Extra...": a "#" after the text
};

TagMeaning tagMeaning(QStringView tag);

// Where the tags of a text stand, as the preview's scan cuts them: from a
// "<" up to and including the next ">", or to the end of the text when no
// ">" follows (then `closed` is false).
struct TagToken
{
    qsizetype start = 0;
    qsizetype length = 0;
    bool closed = true;
};
QList<TagToken> findTags(QStringView text);
