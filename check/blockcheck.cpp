#include "check/blockcheck.h"

#include "editor/tags.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cstdlib>
#include <tuple>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString EndOfBlock = u"<End of Block>"_s;

Finding finding(Rule rule, const QString &message, qsizetype start = 0, qsizetype length = 0)
{
    return {rule, ruleSeverity(rule), message, start, length};
}

bool isLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// What the block must end with: the tag, and whatever the original's own end
// line holds after it (the reader keeps the whole end line).
QString blockEnding(const QString &original)
{
    const qsizetype at = original.lastIndexOf(EndOfBlock);
    if (at < 0)
        return EndOfBlock;
    const QString tail = original.mid(at + EndOfBlock.size());
    return std::any_of(tail.cbegin(), tail.cend(), isLineBreak) ? EndOfBlock : EndOfBlock + tail;
}

void checkEndTag(const CheckedBlock &block, const QString &ending, QList<Finding> &findings)
{
    const QString &text = block.translation;
    const qsizetype last = text.lastIndexOf(EndOfBlock);
    if (last < 0) {
        findings << finding(Rule::EndTag,
                            u"The translation has no <End of Block>: in the exported file the block would run "
                            "on into the next one."_s,
                            text.size());
        return;
    }
    for (qsizetype at = text.indexOf(EndOfBlock); at >= 0 && at < last; at = text.indexOf(EndOfBlock, at + 1)) {
        findings << finding(Rule::EndTag,
                            u"A second <End of Block>: the exported file would end the block here and start "
                            "another."_s,
                            at, EndOfBlock.size());
    }
    if (QStringView(text).sliced(last) != ending) {
        const qsizetype after = last + EndOfBlock.size();
        findings << finding(Rule::EndTag,
                            u"Text after <End of Block>: the block must end with %1."_s.arg(ending), after,
                            text.size() - after);
    }
}

bool isPageTag(QStringView tag)
{
    return tag == u"<New>" || tag == u"<Wait>" || tag == u"<Close>";
}

// Edits between two short texts, a swap of neighbours counting one.
int editDistance(QStringView a, QStringView b)
{
    std::vector<std::vector<int>> d(size_t(a.size() + 1), std::vector<int>(size_t(b.size() + 1)));
    for (qsizetype i = 0; i <= a.size(); ++i)
        d[size_t(i)][0] = int(i);
    for (qsizetype j = 0; j <= b.size(); ++j)
        d[0][size_t(j)] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            int best = std::min({d[size_t(i - 1)][size_t(j)] + 1, d[size_t(i)][size_t(j - 1)] + 1,
                                 d[size_t(i - 1)][size_t(j - 1)] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                best = std::min(best, d[size_t(i - 2)][size_t(j - 2)] + 1);
            d[size_t(i)][size_t(j)] = best;
        }
    }
    return d[size_t(a.size())][size_t(b.size())];
}

// The tag of the vocabulary a mistyped tag most likely meant: the nearest,
// at most two edits away, and no other as near.
std::optional<QStringView> meantTag(QStringView tag)
{
    if (tag.size() > 24 || tag.startsWith(u"<UNKNOWN") || tag.startsWith(u"<Extra"))
        return std::nullopt;
    static const QList<QStringView> vocabulary = tagVocabulary();
    std::optional<QStringView> best;
    int bestDistance = 3;
    bool tie = false;
    for (const QStringView known : vocabulary) {
        if (known == tag)
            return std::nullopt;
        if (std::abs(known.size() - tag.size()) >= bestDistance)
            continue;
        const int distance = editDistance(tag, known);
        if (distance < bestDistance) {
            best = known;
            bestDistance = distance;
            tie = false;
        } else if (distance == bestDistance) {
            tie = true;
        }
    }
    return tie ? std::nullopt : best;
}

// A tag whose counts differ, as its message tells it.
struct TagCount
{
    QString tag;
    qsizetype inOriginal = 0;
    qsizetype inTranslation = 0;
    bool operator==(const TagCount &) const = default;
    friend size_t qHash(const TagCount &key, size_t seed = 0)
    {
        return qHashMulti(seed, key.tag, key.inOriginal, key.inTranslation);
    }
};
using TagMessages = QHash<TagCount, QString>;

QString tagMessage(const TagCount &count)
{
    const bool page = isPageTag(count.tag);
    // A tag the original lacks and the vocabulary nearly has is most likely a typo.
    const auto meant = !page && count.inOriginal == 0 ? meantTag(count.tag) : std::nullopt;
    return (page ? u"Page tag %1: %2 in the original, %3 in the translation"_s
                 : u"Tag %1: %2 in the original, %3 in the translation"_s)
               .arg(count.tag, QString::number(count.inOriginal), QString::number(count.inTranslation))
        + (meant ? u"; did you mean %1?"_s.arg(*meant) : u"."_s);
}

// Kept while a block is typed: the guess costs an edit distance to every
// known tag, and the same miscounted tags come back on every key.
QString tagMessage(const TagCount &count, TagMessages &known)
{
    // Bounded: a long session of typing in one block leaves no heap of messages behind.
    if (known.size() > 4096)
        known.clear();
    auto found = known.find(count);
    if (found == known.end())
        found = known.insert(count, tagMessage(count));
    return *found;
}

// The tags of both texts compared as multisets, each tag by its whole text.
void checkTags(const CheckedBlock &block, const QStringList &original, const QList<TagToken> &translationTags,
               RuleSet rules, QList<Finding> &findings, TagMessages &messages)
{
    QVarLengthArray<TagToken, 32> translation;
    for (const TagToken &tag : translationTags) {
        if (!tag.closed) {
            if (rules.contains(Rule::Tags))
                findings << finding(Rule::Tags,
                                    u"A \"<\" that is never closed: everything after it is one tag and is not "
                                    "shown."_s,
                                    tag.start, tag.length);
        } else if (QStringView(block.translation).sliced(tag.start, tag.length) != EndOfBlock) {
            translation.append(tag);
        }
    }
    const auto textOf = [&](const TagToken &tag) { return QStringView(block.translation).sliced(tag.start, tag.length); };
    // Within one tag text the last appearance stays last: ties go by place,
    // which a stable sort would keep too, but only with a buffer per key.
    std::sort(translation.begin(), translation.end(), [&](const TagToken &a, const TagToken &b) {
        const int order = textOf(a).compare(textOf(b));
        return order != 0 ? order < 0 : a.start < b.start;
    });
    qsizetype i = 0, j = 0;
    while (i < original.size() || j < translation.size()) {
        QStringView tag;
        if (j == translation.size() || (i < original.size() && original[i] < textOf(translation[j])))
            tag = original[i];
        else
            tag = textOf(translation[j]);
        qsizetype inOriginal = 0, inTranslation = 0;
        for (; i < original.size() && original[i] == tag; ++i)
            ++inOriginal;
        for (; j < translation.size() && textOf(translation[j]) == tag; ++j)
            ++inTranslation;
        if (inOriginal == inTranslation)
            continue;
        const Rule rule = isPageTag(tag) ? Rule::Pages : Rule::Tags;
        if (!rules.contains(rule))
            continue;
        const QString message = tagMessage({tag.toString(), inOriginal, inTranslation}, messages);
        // On the tag's last appearance; a tag the translation lacks altogether
        // is marked where the text ends.
        if (inTranslation > 0)
            findings << finding(rule, message, translation[j - 1].start, translation[j - 1].length);
        else
            findings << finding(rule, message, block.translation.size());
    }
}

bool hasWords(const QString &text)
{
    qsizetype i = 0;
    for (const TagToken &tag : findTags(text)) {
        for (; i < tag.start; ++i) {
            if (text[i].isLetter())
                return true;
        }
        i = tag.start + tag.length;
    }
    for (; i < text.size(); ++i) {
        if (text[i].isLetter())
            return true;
    }
    return false;
}

// The marks a reader sees, tags shown as the preview shows them ("<?>" is a "?").
struct ShownChar
{
    QChar c;
    qsizetype start;
    qsizetype length;
};

QList<ShownChar> shownMarks(const QString &text, const QList<TagToken> &tags)
{
    QList<ShownChar> marks;
    const auto isMark = [](QChar c) { return c == u'?' || c == u'!' || c == u'\u00BF' || c == u'\u00A1'; };
    qsizetype i = 0;
    const auto plainUpTo = [&](qsizetype end) {
        for (; i < end; ++i) {
            if (isMark(text[i]))
                marks.append({text[i], i, 1});
        }
    };
    for (const TagToken &tag : tags) {
        plainUpTo(tag.start);
        if (tag.closed) {
            for (QChar c : tagMeaning(QStringView(text).sliced(tag.start, tag.length)).text) {
                if (isMark(c))
                    marks.append({c, tag.start, tag.length});
            }
        }
        i = tag.start + tag.length;
    }
    plainUpTo(text.size());
    return marks;
}

// An opening mark pairs with the next closing mark of its kind; another
// opening mark of the same kind first, or the end of the text, leaves it
// unpaired. Sentences are not cut at full stops: "¿Y tú...?" is one.
void checkSpanishMarks(const QString &text, const QList<TagToken> &tags, QList<Finding> &findings)
{
    struct Kind
    {
        QChar open;
        QChar close;
        std::optional<ShownChar> pending;
    };
    std::array<Kind, 2> kinds{{{u'\u00BF', u'?', {}}, {u'\u00A1', u'!', {}}}};
    // Formatted once: every key of a block finds its unpaired marks again.
    static const auto messagesOf = [](const Kind &kind) {
        return std::pair(u"\"%1\" without its closing \"%2\"."_s.arg(kind.open, kind.close),
                         u"\"%1\" without its opening \"%2\"."_s.arg(kind.close, kind.open));
    };
    static const std::array<std::pair<QString, QString>, 2> messages{messagesOf(kinds[0]), messagesOf(kinds[1])};
    const auto unpaired = [&](const ShownChar &mark, const Kind &kind) {
        const auto &[unclosed, unopened] = messages[size_t(&kind - kinds.data())];
        findings << finding(Rule::Punctuation, mark.c == kind.open ? unclosed : unopened, mark.start, mark.length);
    };
    for (const ShownChar &mark : shownMarks(text, tags)) {
        for (Kind &kind : kinds) {
            if (mark.c == kind.open) {
                if (kind.pending)
                    unpaired(*kind.pending, kind);
                kind.pending = mark;
            } else if (mark.c == kind.close) {
                if (kind.pending)
                    kind.pending.reset();
                else
                    unpaired(mark, kind);
            }
        }
    }
    for (const Kind &kind : kinds) {
        if (kind.pending)
            unpaired(*kind.pending, kind);
    }
}

void checkBlanks(const QString &text, const QList<TagToken> &tags, QList<Finding> &findings)
{
    qsizetype nextTag = 0;
    qsizetype i = 0;
    while ((i = text.indexOf(u' ', i)) >= 0) {
        while (nextTag < tags.size() && tags[nextTag].start + tags[nextTag].length <= i)
            ++nextTag;
        if (nextTag < tags.size() && tags[nextTag].start < i) {
            i = tags[nextTag].start + tags[nextTag].length; // inside a tag
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && text[end] == u' ')
            ++end;
        QString message;
        if (i == 0 || isLineBreak(text[i - 1]))
            message = u"Blank at the start of a line."_s;
        else if (end == text.size() || isLineBreak(text[end]))
            message = u"Blank at the end of a line."_s;
        else if (end - i > 1)
            message = u"Two blanks in a row."_s;
        if (!message.isEmpty())
            findings << finding(Rule::Punctuation, message, i, end - i);
        i = end;
    }
}

// By place, then rule, each rule's findings at one place in the order they
// were found. Sorted as small keys and then moved into place: a stable sort
// of the findings themselves takes a buffer and moves whole findings around.
void sortFindings(QList<Finding> &findings)
{
    struct Key
    {
        qsizetype start;
        int rule;
        qsizetype index;
    };
    QVarLengthArray<Key, 256> order;
    order.reserve(findings.size());
    for (qsizetype i = 0; i < findings.size(); ++i)
        order.append({findings[i].start, int(findings[i].rule), i});
    std::sort(order.begin(), order.end(), [](const Key &a, const Key &b) {
        return std::tie(a.start, a.rule, a.index) < std::tie(b.start, b.rule, b.index);
    });
    QList<Finding> sorted;
    sorted.reserve(findings.size());
    for (const Key &key : order)
        sorted.append(std::move(findings[key.index]));
    findings = std::move(sorted);
}

// The parts of the original the rules compare with; worked out when first
// asked for, once per original when kept in a BlockChecker.
struct OriginalFacts
{
    std::optional<QString> ending;
    std::optional<QStringList> tags; // sorted, <End of Block> left out
    std::optional<QStringList> linkedWords;
    TagMessages tagMessages;
    qsizetype lastFindings = 0; // how many the last check found

    const QString &endingOf(const QString &original)
    {
        if (!ending)
            ending = blockEnding(original);
        return *ending;
    }
    const QStringList &tagsOf(const QString &original)
    {
        if (!tags) {
            tags.emplace();
            for (const TagToken &tag : findTags(original)) {
                const QStringView text = QStringView(original).sliced(tag.start, tag.length);
                if (tag.closed && text != EndOfBlock)
                    tags->append(text.toString());
            }
            std::sort(tags->begin(), tags->end());
        }
        return *tags;
    }
    const QStringList &linkedWordsOf(const QString &original, const GlossaryLinks &glossary)
    {
        if (!linkedWords)
            linkedWords = glossary.linkedWords(original);
        return *linkedWords;
    }
};

QList<Finding> checkWith(const CheckedBlock &block, const CheckContext &context, RuleSet rules,
                         OriginalFacts &facts, QList<LaidLine> *lines, LayoutMemo *memo)
{
    QList<Finding> findings;
    const QString &text = block.translation;
    if (text.isEmpty())
        return findings;
    // A key changes a few findings: room for them, so the list is not grown
    // (and copied) finding by finding on every key.
    if (facts.lastFindings > 0)
        findings.reserve(facts.lastFindings + facts.lastFindings / 8 + 8);
    if (rules.contains(Rule::EndTag) && block.translated)
        checkEndTag(block, facts.endingOf(block.original), findings);
    const QList<TagToken> tags = findTags(text);
    if (rules.contains(Rule::Tags) || rules.contains(Rule::Pages))
        checkTags(block, facts.tagsOf(block.original), tags, rules, findings, facts.tagMessages);
    if (rules.contains(Rule::Overflow) || rules.contains(Rule::Glyph) || rules.contains(Rule::Dropped))
        checkLayout(block, context.font, rules, findings, lines, memo);
    // A block with no words (only tags, blanks, marks) has nothing to translate.
    if (rules.contains(Rule::Identical) && block.translated && text == block.original && hasWords(text))
        findings << finding(Rule::Identical, u"The translation is the same as the original."_s, 0, text.size());
    if (rules.contains(Rule::Glossary)) {
        for (const auto &[word, suggestions] :
             context.glossary.missedLinks(facts.linkedWordsOf(block.original, context.glossary), text)) {
            findings << finding(Rule::Glossary,
                                u"The original has the linked word \"%1\"; the translation uses none of its "
                                "suggestions (%2)."_s.arg(word, suggestions.join(u", "_s)));
        }
    }
    if (rules.contains(Rule::Inconsistent)) {
        if (const auto other = context.translations.otherTranslation(block))
            findings << finding(Rule::Inconsistent,
                                u"The same original is translated differently in %1."_s.arg(*other), 0,
                                text.size());
    }
    if (rules.contains(Rule::ChangedOriginal) && block.originalChanged)
        findings << finding(Rule::ChangedOriginal,
                            u"The original changed in a new version of the game; compare the old and new "
                            "originals and save the translation again."_s);
    if (rules.contains(Rule::Punctuation)) {
        checkSpanishMarks(text, tags, findings);
        checkBlanks(text, tags, findings);
    }
    sortFindings(findings);
    facts.lastFindings = findings.size();
    return findings;
}

} // namespace

QList<Finding> checkBlock(const CheckedBlock &block, const CheckContext &context, RuleSet rules)
{
    OriginalFacts facts;
    return checkWith(block, context, rules, facts, nullptr, nullptr);
}

struct BlockChecker::Facts : OriginalFacts
{
    LayoutMemo layout;
};

BlockChecker::BlockChecker(const QString &original, const CheckContext &context)
    : m_original(original)
    , m_context(context)
    , m_facts(std::make_unique<Facts>())
{
}

BlockChecker::~BlockChecker() = default;

QList<Finding> BlockChecker::check(const CheckedBlock &block, RuleSet rules)
{
    m_lines.clear();
    if (block.original != m_original)
        return checkBlock(block, m_context, rules); // not the block the facts were worked out for
    return checkWith(block, m_context, rules, *m_facts, &m_lines, &m_facts->layout);
}
