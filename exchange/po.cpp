#include "exchange/po.h"

#include <QDateTime>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

QString escaped(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        if (c == u'\\' || c == u'"')
            out += u'\\' + QString(c);
        else if (c == u'\n')
            out += u"\\n"_s;
        else if (c == u'\t')
            out += u"\\t"_s;
        else
            out += c;
    }
    return out;
}

// A keyword and its string, broken after each line break as PO editors do.
QString field(const char *keyword, const QString &text)
{
    const QString lf = withLf(text);
    QString out = QLatin1StringView(keyword) + u' ';
    if (!lf.contains(u'\n') || lf.indexOf(u'\n') == lf.size() - 1)
        return out + u'"' + escaped(lf) + u"\"\n"_s;
    out += u"\"\"\n"_s;
    qsizetype at = 0;
    while (at < lf.size()) {
        const qsizetype end = lf.indexOf(u'\n', at);
        const qsizetype next = end < 0 ? lf.size() : end + 1;
        out += u'"' + escaped(lf.mid(at, next - at)) + u"\"\n"_s;
        at = next;
    }
    return out;
}

QString header()
{
    const QString now = QDateTime::currentDateTimeUtc().toString(u"yyyy-MM-dd HH:mm+0000"_s);
    return u"msgid \"\"\nmsgstr \"\"\n"
           "\"Project-Id-Version: Tallowpen scripts\\n\"\n"
           "\"POT-Creation-Date: %1\\n\"\n"
           "\"PO-Revision-Date: %1\\n\"\n"
           "\"Last-Translator: Tallowpen\\n\"\n"
           "\"Language-Team: Spanish\\n\"\n"
           "\"Language: es\\n\"\n"
           "\"MIME-Version: 1.0\\n\"\n"
           "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
           "\"Content-Transfer-Encoding: 8bit\\n\"\n\n"_s.arg(now);
}

bool sameEnds(const QString &a, const QString &b)
{
    const QString x = withLf(a), y = withLf(b);
    return x.startsWith(u'\n') == y.startsWith(u'\n') && x.endsWith(u'\n') == y.endsWith(u'\n');
}

QString entry(const ExchangeBlock &block)
{
    QString out;
    for (const QString &line : withLf(block.comment).split(u'\n')) {
        if (!block.comment.isEmpty())
            out += (line.isEmpty() ? u"#"_s : u"# "_s + line) + u'\n';
    }
    out += u"#. window %1x%2\n"_s.arg(block.width).arg(block.height);
    // msgfmt refuses a checked entry whose line breaks at either end differ
    // from the original's; a fuzzy one it leaves alone, and the translation
    // still travels whole.
    if (block.translated && (!block.revised || !sameEnds(block.original, block.translation)))
        out += u"#, fuzzy\n"_s;
    out += field("msgctxt", blockKey(block.address.table, block.address.fileName, block.address.number));
    out += field("msgid", block.original);
    out += field("msgstr", block.translation);
    return out + u'\n';
}

// A quoted PO string with its escapes undone; nullopt when it is not one.
std::optional<QString> unquoted(QStringView text)
{
    if (text.size() < 2 || !text.startsWith(u'"') || !text.endsWith(u'"'))
        return std::nullopt;
    QString out;
    for (qsizetype i = 1; i + 1 < text.size(); ++i) {
        QChar c = text[i];
        if (c == u'\\' && i + 2 < text.size()) {
            c = text[++i];
            out += c == u'n' ? QChar(u'\n') : c == u't' ? QChar(u'\t') : c == u'r' ? QChar(u'\r') : c;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

QString poFileName(const BlockAddress &address)
{
    return address.table + u'_' + address.fileName + u".po"_s;
}

std::map<QString, QByteArray> writePoFiles(const std::vector<ExchangeBlock> &blocks)
{
    std::map<QString, QString> texts;
    for (const ExchangeBlock &block : blocks) {
        if (block.original.isEmpty())
            continue;
        QString &text = texts[poFileName(block.address)];
        if (text.isEmpty())
            text = header();
        text += entry(block);
    }
    std::map<QString, QByteArray> files;
    for (const auto &[name, text] : texts)
        files[name] = text.toUtf8();
    return files;
}

Result<PoRead> readPo(const QByteArray &bytes)
{
    PoRead read;
    const QStringList lines = QString::fromUtf8(bytes).split(u'\n');
    QString context, id, str, *open = nullptr;
    bool fuzzy = false, hasContext = false;
    int start = 0;
    const auto finish = [&] {
        if (hasContext || !id.isEmpty()) {
            const auto address = parseBlockKey(context);
            if (!address)
                return false;
            ExchangeUnit unit;
            unit.address = *address;
            unit.source = withCrLfRestored(id);
            unit.target = withCrLfRestored(str);
            unit.hasTarget = !str.isEmpty();
            unit.revised = !fuzzy;
            unit.line = start;
            read.units.push_back(unit);
        }
        context.clear(), id.clear(), str.clear();
        fuzzy = hasContext = false;
        open = nullptr;
        return true;
    };
    for (int n = 0; n <= lines.size(); ++n) {
        const QString line = n < lines.size() ? lines[n].trimmed() : QString();
        const auto fail = [&](const QString &why) { return Failure{u"Line %1: %2"_s.arg(n + 1).arg(why), {}, 0}; };
        if (line.isEmpty() || (line.startsWith(u'#') && open && open != &context)) {
            if (open && !finish())
                return fail(u"the entry's msgctxt \"%1\" does not name a block."_s.arg(context));
            if (line.isEmpty())
                continue;
        }
        if (line.startsWith(u"#,"))
            fuzzy = fuzzy || line.contains(u"fuzzy"_s);
        if (line.startsWith(u'#'))
            continue;
        const qsizetype blank = line.indexOf(u' ');
        const QString keyword = line.startsWith(u'"') ? QString() : line.left(blank);
        const auto value = unquoted(keyword.isEmpty() ? QStringView(line) : QStringView(line).mid(blank + 1));
        if (!value)
            return fail(u"a PO string was expected."_s);
        if (keyword == u"msgctxt") {
            if (open && !finish())
                return fail(u"the entry's msgctxt \"%1\" does not name a block."_s.arg(context));
            open = &context, hasContext = true, start = n + 1;
        } else if (keyword == u"msgid") {
            if (open && open != &context && !finish())
                return fail(u"the entry's msgctxt \"%1\" does not name a block."_s.arg(context));
            if (!open)
                start = n + 1;
            open = &id;
        } else if (keyword == u"msgstr") {
            open = &str;
        } else if (!keyword.isEmpty()) {
            return fail(u"\"%1\" is not used in these files (plural forms have no place in a block)."_s.arg(keyword));
        } else if (!open) {
            return fail(u"a string stands outside any entry."_s);
        }
        *open += *value;
    }
    return read;
}
