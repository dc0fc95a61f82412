#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <vector>

// How alike two originals are, for the translation memory. Texts are
// compared in the store's form (a grave accent for the apostrophe) once
// comparableText() (memory/blocktext.h) has taken out the tags.

// The edit distance (insertions, deletions and substitutions of one UTF-16
// unit) from one text to many others. The first text is prepared once, so
// a search pays only for the other: 64 of its characters per machine word
// and step (the bit-parallel method of Myers, in blocks).
class EditDistance
{
public:
    explicit EditDistance(QStringView pattern);
    int to(QStringView text) const;
    qsizetype patternLength() const { return m_length; }

private:
    const quint64 *equalities(char16_t c) const;

    qsizetype m_length = 0;
    int m_words = 0;
    std::vector<quint64> m_low;    // 256 characters x m_words
    std::vector<char16_t> m_highChars;
    std::vector<quint64> m_high;   // m_highChars.size() x m_words
    std::vector<quint64> m_none;   // a character the pattern lacks
};

// 100 x (1 - distance / length of the longer text), rounded down so that
// only equal texts reach 100. Two empty texts are equal.
int similarityPercent(int distance, qsizetype lengthA, qsizetype lengthB);
// Both texts as comparableText() gives them.
int similarity(QStringView a, QStringView b);

struct TextSpan
{
    qsizetype start = 0;
    qsizetype length = 0;
    bool operator==(const TextSpan &) const = default;
};

// The words and signs of `other` that `current` does not have at the same
// place (a longest common subsequence of the two, word by word), as spans of
// `other`. Tags are no words: they are never marked and never compared.
QList<TextSpan> differingWords(QStringView current, QStringView other);
