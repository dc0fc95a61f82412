#pragma once

#include "links/highlight.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

struct LinkRow;

// One block as the checks see it. Texts as the editors show them
// (apostrophes, CR LF); the window size as the block load resolves it
// (new_width/new_height once a size was chosen, else width/height).
struct CheckedBlock
{
    QString table;
    QString fileName;
    qint16 number = 0;
    QString original;
    QString translation;
    bool translated = false;
    bool revised = false;
    QString width;
    QString height;
    bool originalChanged = false; // marked by an update of the originals, not saved since

    QString key() const; // the block's node key
};

// Which cells of the game's font image draw nothing (every pixel the
// image's background colour). Codes past the image's width draw nothing too.
class FontCells
{
public:
    // False (and every cell taken as drawn) for a null image.
    bool setImage(const QImage &font);
    bool isLoaded() const { return m_loaded; }
    bool isBlank(int code) const { return m_loaded && code >= 0 && code < 256 && m_blank[size_t(code)]; }

private:
    std::array<bool, 256> m_blank{};
    bool m_loaded = false;
};

// The word links as the glossary rule needs them: the words, matched as the
// editor marks them, and every suggestion of each word.
class GlossaryLinks
{
public:
    void setLinks(const QList<LinkRow> &links);
    bool isEmpty() const { return m_suggestions.isEmpty(); }
    // The linked words of `original` (each once, in text order) that have
    // suggestions, none of which `translation` holds (regardless of case).
    QList<std::pair<QString, QStringList>> missedLinks(const QString &original, const QString &translation) const;
    // The same in two steps, the first of which depends on the original alone:
    // the linked words with suggestions, each once, in text order.
    QStringList linkedWords(const QString &original) const;
    QList<std::pair<QString, QStringList>> missedLinks(const QStringList &linkedWords,
                                                       const QString &translation) const;

private:
    // Cheap sieve before the editor's own marking, which costs a search per
    // line: whether a line may hold a linked word at all (false hits allowed).
    bool mayHoldLink(QStringView line) const;

    LinkGlossary m_words;
    QHash<QString, QStringList> m_suggestions;
    QHash<QString, QStringList> m_foldedSuggestions; // searched in the case-folded translation
    std::vector<bool> m_plainHashes; // the first run of letters and digits of each word
    std::vector<bool> m_otherPairs;  // the first two characters, case-folded, of words without one
    bool m_searchEveryLine = false;  // a word of one character that is no letter or digit
};

// The translations of the project by original text, so that a block can
// name another translated block whose translation of the same original
// differs from its own.
class TranslationIndex
{
public:
    void clear();
    // Puts the block in, or moves it when it was in before: only translated
    // blocks with a translation count.
    void update(const CheckedBlock &block);
    // "table file_name block N" of such another block, or nullopt.
    std::optional<QString> otherTranslation(const CheckedBlock &block) const;

private:
    struct Variant
    {
        QString translation;
        QStringList keys; // blocks translated so
    };
    void remove(const QString &key);
    QHash<QString, QList<Variant>> m_byOriginal;
    QHash<QString, QString> m_originalOf; // key -> original it is filed under
};

// What every block of one project is checked against.
struct CheckContext
{
    FontCells font;
    GlossaryLinks glossary;
    TranslationIndex translations;
};
