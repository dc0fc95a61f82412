#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

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
// Every tag of the table, page tags first.
QList<QStringView> tagVocabulary();

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
// insertTag on the editor's text, without the widget: `tag` goes in at
// `position` (a CR LF position) and the caret after it, or before the ">" of
// "<Delay >", "<Space >" and "<Opcode >" so that the parameter is typed next.
// nullopt (nothing inserted) when the position lies outside the text or the
// position after the tag would not fit 16 bits.
struct TagInsertion
{
    QString text;
    qint16 caret = 0;
};
std::optional<TagInsertion> insertTagAt(const QString &text, qsizetype position, const QString &tag);
