#include "spell/personalwords.h"

#include "files/safefile.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

PersonalWordList::PersonalWordList(QString path)
    : m_path(std::move(path))
{
}

Result<Done> PersonalWordList::load()
{
    m_words.clear();
    m_set.clear();
    if (!QFileInfo::exists(m_path))
        return Done{};
    const Result<QByteArray> bytes = SafeFile::readRegular(m_path);
    if (!bytes)
        return Failure{u"Cannot read the personal word list %1: %2"_s.arg(m_path, bytes.error().message), {}};
    const QString text = QString::fromUtf8(*bytes);
    for (QStringView line : QStringView(text).split(u'\n')) {
        const QString word = line.trimmed().toString();
        if (!word.isEmpty() && !m_set.contains(word)) {
            m_words << word;
            m_set.insert(word);
        }
    }
    return Done{};
}

Result<Done> PersonalWordList::add(const QString &word)
{
    const QString clean = word.trimmed();
    if (clean.isEmpty() || m_set.contains(clean))
        return Done{};
    QStringList words = m_words;
    words << clean;

    const QByteArray bytes = (words.join(u'\n') + u'\n').toUtf8();
    // The list lies in the program folder: it is replaced whole, never through a link.
    if (const Result<Done> written = SafeFile::writeWhole(m_path, bytes, QFileInfo(m_path).absolutePath()); !written)
        return Failure{u"Cannot write the personal word list %1: %2"_s.arg(m_path, written.error().message), {}};
    m_words = words;
    m_set.insert(clean);
    return Done{};
}
