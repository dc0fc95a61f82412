// libFuzzer target for the script reader. Besides "no crash", it checks that
// what the reader hands over keeps its promises and that writing the blocks
// and reading them again gives the same blocks.
#include "scripts/scriptformat.h"

#include <cstdint>
#include <cstdlib>

namespace {

bool sameBlocks(const std::vector<ScriptBlock> &a, const std::vector<ScriptBlock> &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].number != b[i].number || a[i].width != b[i].width || a[i].height != b[i].height
            || a[i].text != b[i].text)
            return false;
    }
    return true;
}

std::vector<ScriptBlock> readAll(const QByteArray &bytes, ReaderSizes sizes, bool *ok)
{
    std::vector<ScriptBlock> blocks;
    ReadFailure failure;
    *ok = readScriptBlocks(bytes, QStringLiteral("fuzz.txt"), sizes, [&blocks](const ScriptBlock &b) {
        blocks.push_back(b);
        return true;
    }, &failure);
    if (!*ok && (failure.line < 1 || failure.message.isEmpty()))
        std::abort();
    return blocks;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    bool ok = false;
    const std::vector<ScriptBlock> blocks = readAll(bytes, ReaderSizes{}, &ok);
    for (const ScriptBlock &b : blocks) {
        if (b.text.contains(u'\'') || b.text.endsWith(u"\r\n") || !b.text.contains(u"<End of Block>"))
            std::abort();
    }
    if (!ok)
        return 0;

    std::vector<ScriptRow> rows;
    for (const ScriptBlock &b : blocks)
        rows.push_back(ScriptRow{b.number, b.width, b.height, 0, 0, false, b.text, {}});
    const std::optional<QByteArray> written = encodeScriptText(formatScriptBlocks(rows), QStringLiteral("fuzz.txt"));
    if (!written)
        std::abort(); // everything the reader decodes has a byte
    bool again = false;
    const std::vector<ScriptBlock> reread = readAll(*written, ReaderSizes{}, &again);
    if (!again || !sameBlocks(blocks, reread))
        std::abort();
    return 0;
}
