#include "scripts/cp1252.h"
#include "scripts/scriptformat.h"
#include "store/database.h"
#include "store/layout.h"
#include "store/numbers.h"

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace {


enum class NumberProblem { None, Range, NotNumber };

// SQLite keeps whatever type a value arrived with; a number may come back as
// an integer, a real or a text.
qint16 int16Column(const QVariant &value, NumberProblem &problem)
{
    problem = NumberProblem::None;
    if (value.isNull())
        return 0;
    switch (value.typeId()) {
    case QMetaType::LongLong: {
        const qlonglong v = value.toLongLong();
        if (v < std::numeric_limits<qint16>::min() || v > std::numeric_limits<qint16>::max()) {
            problem = NumberProblem::Range;
            return 0;
        }
        return qint16(v);
    }
    case QMetaType::Double:
    case QMetaType::QString: {
        bool ok = false;
        const double v = value.typeId() == QMetaType::Double ? value.toDouble()
                                                             : value.toString().trimmed().toDouble(&ok);
        if (value.typeId() == QMetaType::QString && !ok) {
            problem = NumberProblem::NotNumber;
            return 0;
        }
        const std::optional<qint16> fitted = toInt16(v);
        if (!fitted)
            problem = NumberProblem::Range;
        return fitted.value_or(0);
    }
    default:
        problem = NumberProblem::NotNumber;
        return 0;
    }
}

QString columnName(int column)
{
    switch (column) {
    case ColDialogueId: return u"dialogue_id"_s;
    case ColWidth: return u"width"_s;
    case ColHeight: return u"height"_s;
    case ColNewWidth: return u"new_width"_s;
    default: return u"new_height"_s;
    }
}

} // namespace

QString formatScriptBlocks(const std::vector<ScriptRow> &rows)
{
    qsizetype size = 0;
    for (const ScriptRow &row : rows)
        size += 40 + (row.translated ? row.textDataT : row.textData).size();
    QString out;
    out.reserve(size);
    for (const ScriptRow &row : rows) {
        const bool resized = row.newWidth > 0; // new_height alone does not count
        out += ScriptHeaderTag + QString::number(row.dialogueId) + u" w:"
            + QString::number(resized ? row.newWidth : row.width) + u" h:"
            + QString::number(resized ? row.newHeight : row.height) + u">\r\n";
        const qsizetype start = out.size();
        out += row.translated ? row.textDataT : row.textData;
        std::replace(out.begin() + start, out.end(), u'`', u'\'');
        out += u"\r\n";
    }
    return out;
}

namespace {

// One row by its columns' values, `text(column)` and `value(column)`.
template <typename Row>
Result<ScriptRow> scriptRowOf(const Row &source)
{
    ScriptRow row;
    const std::pair<int, qint16 *> numbers[] = {
        {ColDialogueId, &row.dialogueId}, {ColWidth, &row.width},         {ColHeight, &row.height},
        {ColNewWidth, &row.newWidth},     {ColNewHeight, &row.newHeight},
    };
    for (const auto &[column, target] : numbers) {
        NumberProblem problem;
        *target = int16Column(source.value(column), problem);
        if (problem != NumberProblem::None) {
            return Failure{u"%1, block %2: the %3 value %4 %5."_s.arg(
                               source.text(ColFileName), source.text(ColDialogueId), columnName(column),
                               source.text(column).left(24),
                               problem == NumberProblem::Range ? u"does not fit between -32768 and 32767"_s
                                                               : u"is not a number"_s),
                           {}};
        }
    }
    row.translated = source.value(ColTranslated).toDouble() == 1.0;
    row.textData = source.text(ColTextData);
    row.textDataT = source.text(ColTextDataT);
    return row;
}

struct StoreRow
{
    const BlockRow &row;
    QVariant value(int column) const { return row[size_t(column)]; }
    QString text(int column) const { return row[size_t(column)].toString(); }
};

} // namespace

Result<std::vector<ScriptRow>> scriptRowsFrom(Result<ResultSet> &result)
{
    if (!result.ok())
        return result.error();
    std::vector<ScriptRow> rows;
    rows.reserve(size_t(result->rowCount()));
    while (result->next()) {
        Result<ScriptRow> row = scriptRowOf(*result);
        if (!row)
            return row.error();
        rows.push_back(std::move(*row));
    }
    return rows;
}

Result<std::vector<ScriptRow>> scriptRowsFrom(const std::vector<BlockRow> &stored)
{
    std::vector<ScriptRow> rows;
    rows.reserve(stored.size());
    for (const BlockRow &each : stored) {
        Result<ScriptRow> row = scriptRowOf(StoreRow{each});
        if (!row)
            return row.error();
        rows.push_back(std::move(*row));
    }
    return rows;
}

std::optional<QByteArray> encodeScriptText(const QString &text, const QString &fileName,
                                           EncodeFailure *failure)
{
    qsizetype bad = -1;
    std::optional<QByteArray> bytes = Cp1252::encode(text, &bad);
    if (bytes || !failure)
        return bytes;

    // Count lines as the reader does: CR LF or a lone CR ends one.
    int line = 1;
    qsizetype lineStart = 0;
    std::optional<qint16> block;
    for (qsizetype i = 0; i <= bad; ++i) {
        if (i == lineStart && QStringView(text).sliced(i).startsWith(ScriptHeaderTag)) {
            const qsizetype blank = text.indexOf(u' ', i + ScriptHeaderTag.size());
            const qsizetype eol = text.indexOf(u'\r', i);
            qsizetype stop = blank < 0 ? text.size() : blank;
            if (eol >= 0 && eol < stop)
                stop = eol;
            block = parseInt16(QStringView(text).sliced(i + ScriptHeaderTag.size(), stop - i - ScriptHeaderTag.size()));
        }
        if (text[i] == u'\r' && i < bad) {
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            ++line;
            lineStart = i + 1;
        }
    }
    failure->index = bad;
    failure->line = line;
    failure->column = int(bad - lineStart + 1);
    failure->block = block;
    const bool pair = text[bad].isHighSurrogate() && bad + 1 < text.size() && text[bad + 1].isLowSurrogate();
    failure->character = text.mid(bad, pair ? 2 : 1);
    const char32_t code = pair ? QChar::surrogateToUcs4(text[bad], text[bad + 1]) : text[bad].unicode();
    QString where = u"%1, line %2, column %3"_s.arg(fileName).arg(line).arg(failure->column);
    if (block)
        where += u" (block %1)"_s.arg(*block);
    failure->message = u"%1: the character \"%2\" (U+%3) has no Windows-1252 code."_s.arg(
        where, failure->character, QString::number(code, 16).toUpper().rightJustified(4, u'0'));
    return std::nullopt;
}
