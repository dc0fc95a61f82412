#pragma once

#include "spell/dictionary.h"
#include "spell/personalwords.h"

#include <QHash>
#include <QList>
#include <QString>

#include <memory>

struct Misspelling
{
    qsizetype start = 0; // character index in the text checked
    qsizetype length = 0;
    QString word;

    bool operator==(const Misspelling &) const = default;
};

// A dictionary with the translator's own words on top, checking a whole text
// word by word as splitWords() cuts it.
//
// Thread contract: one thread at a time, like the dictionary under it.
class Speller
{
public:
    Speller(std::unique_ptr<HunspellDictionary> dictionary, std::shared_ptr<PersonalWordList> personal);

    bool isCorrect(const QString &word);
    QStringList suggestions(const QString &word, int limit = -1);
    // Into the personal list and the loaded dictionary alike.
    Result<Done> addToPersonal(const QString &word);

    // Unknown words of `text` from `from` on, in text order.
    QList<Misspelling> misspellings(QStringView text, qsizetype from = 0);

private:
    std::unique_ptr<HunspellDictionary> m_dictionary;
    std::shared_ptr<PersonalWordList> m_personal;
    // Hunspell takes about 10 ms per suggestion list; a text misspells the
    // same words over and over, so each is asked once.
    QHash<QString, QStringList> m_suggestions;
    // A misspelt word costs Hunspell a search through its affixes each time.
    QHash<QString, bool> m_correct;
};

// Dictionaries are slow to load (a good part of a second for Spanish), so a
// run loads each at most once, on the first check that needs it.
class SpellerCache
{
public:
    // `programFolder` holds the personal word list and may hold a dict/ folder.
    explicit SpellerCache(const QString &programFolder, QStringList folders = {});

    // The speller for a language number, or a message saying what is
    // missing and how to install it.
    Result<std::shared_ptr<Speller>> speller(int language);

private:
    QStringList m_folders;
    std::shared_ptr<PersonalWordList> m_personal;
    bool m_personalLoaded = false;
    QHash<QString, std::shared_ptr<Speller>> m_byDictionary;
};
