#include "scripts/cp1252.h"
#include "scripts/logging.h"
#include "scripts/scriptformat.h"
#include "store/numbers.h"
#include "files/safefile.h"

#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr QStringView EndTag = u"<End of Block>";
constexpr qsizetype ValueStart = 11; // 0-based index of the 12th character

bool canContinueNumber(QChar c)
{
    return (c >= u'0' && c <= u'9') || c == u'.' || c == u'e' || c == u'E' || c == u'd' || c == u'D';
}

bool isNumberBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

// The lenient parse, with a shortcut for the plain digits every header
// written by the tools holds; anything unusual takes the general road.
std::optional<qint16> headerValue(QStringView run)
{
    int value = 0;
    qsizetype i = 0;
    while (i < run.size() && i < 5 && run[i] >= u'0' && run[i] <= u'9')
        value = value * 10 + (run[i++].unicode() - u'0');
    if (i > 0) {
        qsizetype j = i;
        while (j < run.size() && isNumberBlank(run[j]))
            ++j;
        if ((j == run.size() || !canContinueNumber(run[j])) && value <= 32767)
            return qint16(value);
    }
    return parseInt16(run);
}

// A value as the user wrote it, for the message.
QString shownValue(QStringView run)
{
    run = run.trimmed();
    if (run.endsWith(u'>'))
        run.chop(1);
    return run.left(24).toString();
}

struct HeaderProblem
{
    QString what;
    QString value;
};

// Reads number and sizes of a header line into `number` and `sizes`.
// The "w:" value runs to the next blank. The "h:" value runs to the next
// blank or ">", whichever comes first: running to ">" alone would swallow a
// " w:30" behind it and the order of the two markers is meant not to matter.
// So "h: 3>" gives 0, as "w: 3" always did.
std::optional<HeaderProblem> readHeader(QStringView line, qint16 &number, ReaderSizes &sizes)
{
    const qsizetype n = line.size();
    qsizetype blank = line.indexOf(u' ', ValueStart);
    const QStringView numberRun = line.sliced(ValueStart, (blank < 0 ? n : blank) - ValueStart);
    const std::optional<qint16> parsed = headerValue(numberRun);
    if (!parsed)
        return HeaderProblem{u"block number"_s, shownValue(numberRun)};
    number = *parsed;

    qsizetype i = ValueStart;
    while (i + 1 < n) {
        const QChar c = line[i];
        if ((c != u'w' && c != u'h') || line[i + 1] != u':') {
            ++i;
            continue;
        }
        const qsizetype start = i + 2;
        qsizetype stop = start;
        while (stop < n && line[stop] != u' ' && (c == u'w' || line[stop] != u'>'))
            ++stop;
        const qsizetype end = stop < n ? stop + 1 : n; // the delimiter belongs to the run
        const QStringView run = line.sliced(start, end - start);
        const std::optional<qint16> value = headerValue(run);
        if (!value)
            return HeaderProblem{c == u'w' ? u"width"_s : u"height"_s, shownValue(run)};
        (c == u'w' ? sizes.width : sizes.height) = *value;
        i = end;
    }
    return std::nullopt;
}

} // namespace

bool readScriptBlocks(const QByteArray &bytes, const QString &fileName, ReaderSizes &sizes,
                      const BlockSink &sink, ReadFailure *failure,
                      const std::function<void()> &afterLine)
{
    const QString text = Cp1252::decode(bytes);
    const QChar *data = text.constData();
    const qsizetype n = text.size();

    QString pending;
    qint16 number = 0; // a file's first block without a header of its own is block 0
    int lineNo = 0;
    qsizetype pos = 0;
    while (pos < n) {
        // A line ends at CR or CR LF; a lone LF is part of the line.
        const qsizetype cr = text.indexOf(u'\r', pos);
        const qsizetype end = cr < 0 ? n : cr;
        const QStringView line(data + pos, end - pos);
        pos = cr < 0 ? n : (cr + 1 < n && data[cr + 1] == u'\n' ? cr + 2 : cr + 1);
        ++lineNo;

        if (line.startsWith(ScriptHeaderTag)) {
            if (const auto problem = readHeader(line, number, sizes)) {
                if (failure) {
                    failure->file = fileName;
                    failure->line = lineNo;
                    failure->message = u"%1, line %2: the %3 %4 does not fit between -32768 and 32767."_s
                                           .arg(fileName)
                                           .arg(lineNo)
                                           .arg(problem->what, problem->value);
                }
                qCDebug(lcScripts) << "header out of range" << fileName << lineNo;
                return false;
            }
        } else if (!line.contains(EndTag)) {
            pending.append(line);
            pending.append(u"\r\n");
        } else {
            pending.append(line);
            std::replace(pending.begin(), pending.end(), u'\'', u'`');
            ScriptBlock block;
            block.number = number;
            block.width = sizes.width;
            block.height = sizes.height;
            block.text = std::move(pending);
            pending = QString();
            if (!sink(block))
                return false;
        }
        if (afterLine)
            afterLine();
    }
    return true; // whatever is still pending never met its end line
}

bool readScriptFile(const QString &path, ReaderSizes &sizes, const BlockSink &sink,
                    ReadFailure *failure, const std::function<void()> &afterLine)
{
    const QString fileName = QFileInfo(path).fileName();
    const Result<QByteArray> read = SafeFile::readRegular(path);
    if (!read) {
        if (failure) {
            failure->file = fileName;
            failure->line = 0;
            failure->message = u"%1: the file cannot be read (%2)."_s.arg(fileName, read.error().message);
        }
        return false;
    }
    return readScriptBlocks(*read, fileName, sizes, sink, failure, afterLine);
}
