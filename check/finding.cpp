#include "check/finding.h"

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr std::array<const char16_t *, RuleCount> Ids = {
    u"end-tag", u"tags", u"pages", u"overflow", u"glyph", u"identical", u"glossary", u"inconsistent", u"punctuation",
    u"dropped",
    u"duplicate",
    u"changed-original",
};

QString counted(int n, const QString &one)
{
    return QString::number(n) + u' ' + one + (n == 1 ? QString() : u"s"_s);
}

} // namespace

QString ruleId(Rule rule)
{
    return QString::fromUtf16(Ids[size_t(rule)]);
}

std::optional<Rule> ruleFromId(const QString &id)
{
    for (int i = 0; i < RuleCount; ++i) {
        if (id == QStringView(Ids[size_t(i)]))
            return Rule(i);
    }
    return std::nullopt;
}

QStringList ruleIds()
{
    QStringList ids;
    for (int i = 0; i < RuleCount; ++i)
        ids << ruleId(Rule(i));
    return ids;
}

Severity ruleSeverity(Rule rule)
{
    switch (rule) {
    case Rule::EndTag:
    case Rule::Tags:
    case Rule::Overflow:
    case Rule::Glyph:
    case Rule::Duplicate:
        return Severity::Error;
    default:
        return Severity::Warning;
    }
}

QString severityName(Severity severity)
{
    return severity == Severity::Error ? u"error"_s : u"warning"_s;
}

QString findingCount(int errors, int warnings)
{
    return counted(errors, u"error"_s) + u", "_s + counted(warnings, u"warning"_s);
}

MarkedSpan markedSpan(const Finding &finding, const QString &text)
{
    if (finding.length > 0 || text.isEmpty())
        return {finding.start, finding.length};
    qsizetype at = std::min(finding.start, text.size()) - 1;
    while (at > 0 && (text[at] == u'\r' || text[at] == u'\n'))
        --at;
    return {std::max<qsizetype>(at, 0), 1};
}
