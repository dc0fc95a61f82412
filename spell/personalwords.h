#pragma once

#include "store/result.h"

#include <QSet>
#include <QString>
#include <QStringList>

// The words the translator added to the dictionary: a UTF-8 text file in the
// program folder, one word a line, kept across runs and shared by every
// dictionary (names of the game's people and places are the usual guests).
class PersonalWordList
{
public:
    static QString fileName() { return QStringLiteral("personal-words.txt"); }

    explicit PersonalWordList(QString path = {});

    QString path() const { return m_path; }
    // A missing file is an empty list; an unreadable one is an error.
    Result<Done> load();
    // Adds the word and writes the whole list back atomically. A word already
    // there is not written twice.
    Result<Done> add(const QString &word);
    bool contains(const QString &word) const { return m_set.contains(word); }
    const QStringList &words() const { return m_words; }

private:
    QString m_path;
    QStringList m_words;
    QSet<QString> m_set;
};
