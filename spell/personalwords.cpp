#include "spell/personalwords.h"

#include "files/safefile.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

PersonalWordList::PersonalWordList(QString path)
    : m_path(std::move(path))
{
}

bool PersonalWordList::load(QString *error)
{
    m_words.clear();
    m_set.clear();
    if (!QFileInfo::exists(m_path))
        return true;
    const Result<QByteArray> bytes = SafeFile::readRegular(m_path);
    if (!bytes) {
        if (error)
            *error = u"Cannot read the personal word list %1: %2"_s.arg(m_path, bytes.error().message);
        return false;
    }
    const QString text = QString::fromUtf8(*bytes);
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

    const QByteArray bytes = (words.join(u'\n') + u'\n').toUtf8();
    // The list lies in the program folder: it is replaced whole, never through a link.
    if (const Result<Done> written = SafeFile::writeWhole(m_path, bytes, QFileInfo(m_path).absolutePath()); !written) {
        if (error)
            *error = u"Cannot write the personal word list %1: %2"_s.arg(m_path, written.error().message);
        return false;
    }
    m_words = words;
    m_set.insert(clean);
    return true;
}
