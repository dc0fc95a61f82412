#include "editor/tags.h"

#include <array>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

struct TextTag
{
    QStringView tag;
    QStringView text;
};

// Speakers and buttons first, then symbols: the order in which the game's
// own table is searched.
constexpr std::array<TextTag, 50> TextTags{{
    {u"<Ovessin>", u"Ovessin"},
    {u"<Tolm>", u"Tolm"},
    {u"<Wendo>", u"Wendo"},
    {u"<Quarrowell>", u"Quarrowell"},
    {u"<C>", u"C"},
    {u"<Pim-Pim>", u"Pim-Pim"},
    {u"<Morel>", u"Morel"},
    {u"<Halbrect>", u"Halbrect"},
    {u"<D>", u"D"},
    {u"<Isla>", u"Isla"},
    {u"<Siverine>", u"Siverine"},
    {u"<Gorvan>", u"Gorvan"},
    {u"<Tessark>", u"Tessark"},
    {u"<L>", u"L"},
    {u"<R>", u"R"},
    {u"<Kolvasty>", u"Kolvasty"},
    {u"<Kolvasty2>", u"Kolvasty"},
    {u"<Dace>", u"Dace"},
    {u"<S>", u"S"},
    {u"<Ulmorath>", u"Ulmorath"},
    {u"<Varek>", u"Varek"},
    {u"<Varek-2>", u"Varek"},
    {u"<T>", u"T"},
    {u"<U>", u"U"},
    {u"<Pellan>", u"Pellan"},
    {u"<Ardmoss>", u"Ardmoss"},
    {u"<Ardmoss-2>", u"Ardmoss"},
    {u"<X>", u"X"},
    {u"<Brassvale>", u"Brassvale"},
    {u"<Perso1>", u"Perso1"},
    {u"<Perso2>", u"Perso2"},
    {u"<Perso3>", u"Perso3"},
    {u"<!>", u"!"},
    {u"<&>", u"&"},
    {u"<*>", u"*"},
    {u"<...>", u"..."},
    {u"<.>", u"."},
    {u"</>", u"/"},
    {u"<:>", u":"},
    {u"<?>", u"?"},
    {u"<]>", u"]"},
    {u"<`>", u"`"},
    {u"<~>", u"~"},
    {u"<=>", u"="},
    // The degree sign shows the masculine ordinal, the game font's "º".
    {u"<\u00B0>", u"\u00BA"},
    {u"<1>", u"1"},
    {u"<2>", u"2"},
    {u"<3>", u"3"},
    {u"<4>", u"4"},
    {u"<5>", u"5"},
}};

bool fits16(qsizetype value)
{
    return value >= 0 && value <= std::numeric_limits<qint16>::max();
}

} // namespace

TagMeaning tagMeaning(QStringView tag)
{
    TagMeaning meaning;
    if (tag == u"<New>")
        meaning.page = PageTag::New;
    else if (tag == u"<Wait>")
        meaning.page = PageTag::Wait;
    else if (tag == u"<Close>")
        meaning.page = PageTag::Close;
    else if (tag == u"<End of Block>")
        meaning.page = PageTag::EndOfBlock;
    else {
        for (const TextTag &entry : TextTags) {
            if (entry.tag == tag) {
                meaning.text = entry.text;
                break;
            }
        }
    }
    meaning.unknownMark = tag.startsWith(u"<UNKNOWN") || tag.startsWith(u"<Extra");
    return meaning;
}

QList<QStringView> tagVocabulary()
{
    QList<QStringView> tags{u"<New>", u"<Wait>", u"<Close>", u"<End of Block>"};
    for (const TextTag &entry : TextTags)
        tags << entry.tag;
    return tags;
}

std::optional<TagInsertion> insertTagAt(const QString &text, qsizetype position, const QString &tag)
{
    if (position > text.size() || !fits16(position) || !fits16(position + tag.size()))
        return std::nullopt;
    const bool parameterTag = tag == u"<Space >"_s || tag == u"<Opcode >"_s || tag == u"<Delay >"_s;
    return TagInsertion{text.left(position) + tag + text.mid(position),
                        qint16(position + tag.size() - (parameterTag ? 1 : 0))};
}

QList<TagToken> findTags(QStringView text)
{
    QList<TagToken> tags;
    qsizetype i = text.indexOf(u'<');
    while (i >= 0) {
        const qsizetype end = text.indexOf(u'>', i);
        if (end < 0) {
            tags.append({i, text.size() - i, false});
            break;
        }
        tags.append({i, end - i + 1, true});
        i = text.indexOf(u'<', end + 1);
    }
    return tags;
}
