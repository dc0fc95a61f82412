#pragma once

#include <QHash>
#include <QList>
#include <QSyntaxHighlighter>

#include <functional>
#include <memory>

class Speller;

// The misspelt words of a text document underlined as it is typed: Qt asks
// again only for the line (text block) that changed, and every word's answer
// is kept, so a keystroke costs the words of one line at most.
//
// Words are cut as the spell check cuts them (tags skipped); a speaker's
// name and whatever `ignored` says (the word links) are not marked.
//
// Thread contract: GUI thread.
class SpellUnderline : public QSyntaxHighlighter
{
    Q_OBJECT
public:
    struct Span
    {
        qsizetype start = 0;
        qsizetype length = 0;
    };
    // The spans of `line` to leave alone: a word overlapping one is not marked.
    using Ignored = std::function<QList<Span>(QStringView line)>;

    SpellUnderline(QTextDocument *document, Ignored ignored = {});
    // nullptr leaves the text unmarked (no dictionary).
    void setSpeller(std::shared_ptr<Speller> speller);
    Speller *speller() const { return m_speller.get(); }
    // A word the translator added to the dictionary: marked nowhere again.
    void wordAdded(const QString &word);
    bool isMisspelt(const QString &word);
    bool isIgnored(QStringView line, qsizetype start, qsizetype length) const;

protected:
    void highlightBlock(const QString &text) override;

private:
    std::shared_ptr<Speller> m_speller;
    Ignored m_ignored;
    QHash<QString, bool> m_correct;
};
