// libFuzzer target for the checks and the fit on arbitrary text: every
// finding lies inside the translation, and the fit loses no word, keeps its
// promise about what still overflows, and leaves alone what it cannot fit.
#include "check/blockcheck.h"
#include "check/fit.h"

#include <QRegularExpression>

#include <cstdint>
#include <cstdlib>

namespace {

// The words and tags in order: what a re-wrap may move but never drop. Page
// tags are left out since the fit adds them.
QString wordsOf(QString text)
{
    static const QRegularExpression pageTags(QStringLiteral("<New>|<Wait>|\\s"));
    return text.remove(pageTags);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    // Two bytes of window size, then the original and the translation split
    // at the first NUL (Latin-1, so that every byte is a character).
    CheckedBlock block;
    block.table = QStringLiteral("field");
    block.fileName = QStringLiteral("fuzz.txt");
    block.number = 1;
    block.translated = true;
    block.width = QString::number(data[0]);
    block.height = QString::number(data[1] % 16);
    const QByteArray rest = QByteArray::fromRawData(reinterpret_cast<const char *>(data) + 2, qsizetype(size) - 2);
    const qsizetype split = rest.indexOf('\0');
    block.original = QString::fromLatin1(split < 0 ? QByteArray() : rest.left(split));
    block.translation = QString::fromLatin1(split < 0 ? rest : rest.mid(split + 1));

    const CheckContext context;
    for (const Finding &finding : checkBlock(block, context)) {
        if (finding.start < 0 || finding.length < 0 || finding.start + finding.length > block.translation.size()
            || finding.message.isEmpty())
            std::abort();
    }

    const FitResult fit = fitToWindow(block.translation, block.width, block.height);
    if (fit.changed == (fit.text == block.translation) || wordsOf(fit.text) != wordsOf(block.translation)
        || fit.overflow != remainingOverflow(fit.text, block.width, block.height))
        std::abort();
    return 0;
}
