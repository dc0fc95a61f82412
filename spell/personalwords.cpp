#include "spell/personalwords.h"

#include <QFile>
#include <QSaveFile>

using namespace Qt::StringLiterals;

PersonalWordList::PersonalWordList(QString path)
    : m_path(std::move(path))
{
}

bool PersonalWordList::load(QString *error)
{
    m_words.clear();
    m_set.clear();
    QFile file(m_path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = u"Cannot read the personal word list %1: %2"_s.arg(m_path, file.errorString());
        return false;
    }
    const QString text = QString::fromUtf8(file.readAll());
    for (QStringView line : QStringView(text).split(u'\n')) {
        const QString word = line.trimmed().toString();
        if (!word.isEmpty() && !m_set.contains(word)) {
            m_words << word;
            m_set.insert(word);
        }
    }
    return true;
}

bool PersonalWordList::add(const QString &word, QString *error)
{
    const QString clean = word.trimmed();
    if (clean.isEmpty() || m_set.contains(clean))
        return true;
    QStringList words = m_words;
    words << clean;

    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = u"Cannot write the personal word list %1: %2"_s.arg(m_path, file.errorString());
        return false;
    }
    const QByteArray bytes = (words.join(u'\n') + u'\n').toUtf8();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        if (error)
            *error = u"Cannot write the personal word list %1: %2"_s.arg(m_path, file.errorString());
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = u"Cannot write the personal word list %1: %2"_s.arg(m_path, file.errorString());
        return false;
    }
    m_words = words;
    m_set.insert(clean);
    return true;
}
