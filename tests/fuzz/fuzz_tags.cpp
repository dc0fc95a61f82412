// libFuzzer target for the tag tokenizer: the tokens cover every "<" in
// order, each runs to the next ">" or to the end, and a tag inserted
// anywhere lands whole where it was asked.
#include "editor/tags.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    // The first two bytes give a position, the rest is the text (Latin-1, so
    // that every byte is a character).
    const qsizetype position = qsizetype(int8_t(data[0])) * 256 + data[1];
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(data) + 2, qsizetype(size) - 2);
    const QList<TagToken> tags = findTags(text);
    qsizetype covered = 0;
    for (const TagToken &tag : tags) {
        const QStringView token = QStringView(text).mid(tag.start, tag.length);
        if (tag.start < covered || tag.length < 1 || tag.start + tag.length > text.size() || !token.startsWith(u'<')
            || text.mid(covered, tag.start - covered).contains(u'<')
            || token.chopped(tag.closed ? 1 : 0).contains(u'>') || tag.closed != token.endsWith(u'>')
            || (!tag.closed && tag.start + tag.length != text.size()))
            std::abort();
        (void)tagMeaning(token);
        covered = tag.start + tag.length;
    }
    if (text.mid(covered).contains(u'<'))
        std::abort();

    const QString tag = QStringLiteral("<Delay >");
    const auto inserted = insertTagAt(text, position, tag);
    if (inserted.has_value() != (position >= 0 && position <= text.size() && position + tag.size() <= 32767))
        std::abort();
    if (inserted && (inserted->text != text.left(position) + tag + text.mid(position)
                     || inserted->caret != position + tag.size() - 1))
        std::abort();
    return 0;
}
