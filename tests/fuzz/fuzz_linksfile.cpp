// libFuzzer target for the links file: any bytes decode, and every line is
// one of the three kinds with the promises each kind makes.
#include "links/linksfile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = decodeLinksFile(bytes);
    const char *mark = "\xEF\xBB\xBF";
    if (bytes.startsWith(mark) && !bytes.mid(3).startsWith(mark) && text.startsWith(QChar(0xFEFF)))
        std::abort(); // one byte-order mark is dropped
    for (const QString &line : linksFileLines(text)) {
        const LinksLine parsed = parseLinksLine(line);
        const bool apostrophe = line.contains(u'\'');
        if ((parsed.kind == LinksLine::Skipped) != apostrophe)
            std::abort();
        if ((parsed.kind == LinksLine::NoComma) != (!apostrophe && !line.contains(u',')))
            std::abort();
        if (parsed.kind != LinksLine::Link)
            continue;
        for (const QString &part : {parsed.word, parsed.suggestion}) {
            if (part != part.trimmed() || !line.contains(part))
                std::abort();
        }
        if (linksInsertStatement(parsed.word, parsed.suggestion).isEmpty())
            std::abort();
    }
    return 0;
}
