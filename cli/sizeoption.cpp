#include "cli/sizeoption.h"

using namespace Qt::StringLiterals;

namespace {

bool isWholeNumber(const QString &text)
{
    bool ok = false;
    text.toInt(&ok);
    return ok;
}

} // namespace

OrStop<WindowSizeOption> takeSizeOption(CliContext &context, QStringList &words)
{
    const qsizetype at = words.indexOf(u"--size"_s);
    if (at < 0)
        return WindowSizeOption();
    if (at + 2 >= words.size() || !isWholeNumber(words[at + 1]) || !isWholeNumber(words[at + 2]))
        return context.usage(u"--size needs a width and a height, two whole numbers."_s);
    WindowSizeOption size = std::pair{words[at + 1], words[at + 2]};
    words.remove(at, 3);
    return size;
}
