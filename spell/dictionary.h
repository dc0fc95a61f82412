#pragma once

#include "store/result.h"

#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

#include <memory>
#include <optional>

class Hunspell;

// The language numbers a check may ask for, and the Hunspell dictionary and
// Debian package that serve each. 1034 is the one the editor asks for.
struct LanguageDictionary
{
    int language = 0;
    QString dictionary; // e.g. "es_ES": es_ES.aff and es_ES.dic
    QString package;    // what to apt-get install when it is missing
    QString name;       // for messages
};
std::optional<LanguageDictionary> dictionaryForLanguage(int language);

// Where installed dictionaries are looked for: a dict/ folder in the program
// folder first, then the system's Hunspell folders.
QStringList dictionaryFolders(const QString &programFolder);

// One loaded Hunspell dictionary. Hunspell works on bytes in the encoding the
// .aff file names on its SET line; words cross in and out through that
// encoding here, so callers only see QString.
//
// Thread contract: one thread at a time (Hunspell keeps state while it works).
class HunspellDictionary
{
public:
    ~HunspellDictionary();

    // Loads <folder>/<name>.aff and .dic from the first folder that holds
    // both. A message naming what is missing otherwise.
    static Result<std::unique_ptr<HunspellDictionary>> load(const LanguageDictionary &dictionary,
                                                            const QStringList &folders);

    bool isCorrect(const QString &word);
    QStringList suggest(const QString &word);
    // Known for the rest of this run; the personal list makes it last.
    void add(const QString &word);

private:
    HunspellDictionary() = default;
    std::optional<std::string> encode(const QString &word);
    QString decode(const std::string &bytes);

    std::unique_ptr<Hunspell> m_hunspell;
    QStringEncoder m_encoder;
    QStringDecoder m_decoder;
};
