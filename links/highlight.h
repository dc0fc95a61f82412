#pragma once

#include "store/result.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

class ProjectStore;

// A glossary word found in the text: where it starts (0-based), how long it is.
struct LinkMark
{
    qsizetype start = 0;
    qsizetype length = 0;
    QString word;

    bool operator==(const LinkMark &other) const = default;
};

// One line of an editor text whose lines end with CR LF (or a lone CR or LF,
// as the editor splits pasted text); `start` counts CR LF as two characters.
struct TextLine
{
    qsizetype start = 0;
    qsizetype length = 0;
};
QList<TextLine> textLines(const QString &text);

// The glossary's words held in memory, so that marking the links of a text
// costs one pass over its words instead of one editor search per row.
//
// The marks are those of searching each word through the editor, line by
// line, whole words only and regardless of case, then keeping a hit only when
// it matches case-sensitively, and going on after it. The editor's idea of a
// whole word is a hit with no letter or digit (QChar::isLetterOrNumber) right
// before or after it, so a word made only of letters and digits is marked
// exactly where it stands as a maximal run of letters and digits: those words
// are looked up in a set. Any other word (with a blank, a hyphen, a slash...)
// is searched as the editor searches it, quirks included: after a hit that is
// not a whole word the editor resumes one character past its end.
//
// Thread contract: used on the GUI thread only, like the store it reads.
class LinkGlossary
{
public:
    void setWords(const QStringList &words);
    // Rereads the store's words unless its links are known unchanged since
    // the last read from the same store. Fails when they could not be read
    // (the glossary is then empty).
    Result<Done> refresh(ProjectStore &store);
    // The next refresh reads the words whatever the store says.
    void forget() { m_source = nullptr; }
    qsizetype size() const { return m_count; }

    // The marks of one line of text; `offset` is added to every start.
    QList<LinkMark> marksInLine(QStringView line, qsizetype offset = 0) const;

private:
    QSet<QString> m_plainWords;
    qsizetype m_longestPlain = 0;
    QStringList m_otherWords;
    // The other words by their first two characters, case-folded: a line
    // needs searching only for words whose pair occurs in it.
    QHash<quint32, QList<qsizetype>> m_otherByPair;
    QList<qsizetype> m_otherAlways; // one character long, or a surrogate in the pair
    qsizetype m_count = 0;
    const ProjectStore *m_source = nullptr;
    qint64 m_version = -1;
};

// highlightLinks over a whole text, and highlightLinksInLine over its 0-based
// line `line` (no marks when the line does not exist). Marks come in text
// order, each range once.
QList<LinkMark> highlightMarks(const QString &text, const LinkGlossary &glossary);
QList<LinkMark> highlightMarksInLine(const QString &text, qsizetype line, const LinkGlossary &glossary);
