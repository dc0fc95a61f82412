#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What a check finds in one block: which rule, how bad, in plain words, and
// the part of the translation it is about (0-based, CR LF counting two, as
// the translated editor holds the text; length 0 when the finding is about
// something the translation lacks).

enum class Rule {
    EndTag,       // error: the translation does not end the block as the file format needs
    Tags,         // error: tags differ from the original's, or a "<" is never closed
    Pages,        // warning: a different number of page tags
    Overflow,     // error: a line past the window's width, a page past its height
    Glyph,        // error: a character the code page or the game font cannot show
    Identical,    // warning: translated, but the same as the original
    Glossary,     // warning: a linked word of the original, none of its suggestions
    Inconsistent, // warning: the same original translated otherwise elsewhere
    Punctuation,  // warning: unpaired Spanish marks, doubled or edge blanks
    Dropped,      // warning (error when the original shows that page): text <End of Block> drops unshown
    Duplicate,    // error: the store holds the block in more than one row
    ChangedOriginal, // warning: a new version of the game changed the original since
};
inline constexpr int RuleCount = int(Rule::ChangedOriginal) + 1;

enum class Severity { Error, Warning };

QString ruleId(Rule rule);
std::optional<Rule> ruleFromId(const QString &id);
QStringList ruleIds();
Severity ruleSeverity(Rule rule);
QString severityName(Severity severity); // "error", "warning"

// A set of rules, all of them unless narrowed.
class RuleSet
{
public:
    static RuleSet all() { return RuleSet((1u << RuleCount) - 1); }
    static RuleSet none() { return RuleSet(0); }
    bool contains(Rule rule) const { return m_bits & bit(rule); }
    void insert(Rule rule) { m_bits |= bit(rule); }
    void remove(Rule rule) { m_bits &= ~bit(rule); }

private:
    explicit RuleSet(unsigned bits) : m_bits(bits) {}
    static unsigned bit(Rule rule) { return 1u << int(rule); }
    unsigned m_bits;
};

struct Finding
{
    Rule rule = Rule::EndTag;
    Severity severity = Severity::Error;
    QString message;
    qsizetype start = 0;
    qsizetype length = 0;

    bool operator==(const Finding &) const = default;
};

// Where the editor marks a finding: its own span, or for one with no length
// the character before its place (the first at the start of the text), line
// breaks passed over, so that a missing tag too has a mark to see and hover.
struct MarkedSpan
{
    qsizetype start = 0;
    qsizetype length = 0;
};
MarkedSpan markedSpan(const Finding &finding, const QString &text);

// "2 errors, 1 warning": the status line's and the command line's count.
QString findingCount(int errors, int warnings);
