#include "spell/dictionary.h"

#include "spell/logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <hunspell/hunspell.hxx>

using namespace Qt::StringLiterals;

std::optional<LanguageDictionary> dictionaryForLanguage(int language)
{
    static const LanguageDictionary table[] = {
        {1034, u"es_ES"_s, u"hunspell-es"_s, u"Spanish"_s},
        {3082, u"es_ES"_s, u"hunspell-es"_s, u"Spanish"_s},
        {2058, u"es_MX"_s, u"hunspell-es"_s, u"Spanish (Mexico)"_s},
        {1033, u"en_US"_s, u"hunspell-en-us"_s, u"English (United States)"_s},
        {2057, u"en_GB"_s, u"hunspell-en-gb"_s, u"English (United Kingdom)"_s},
        {1036, u"fr_FR"_s, u"hunspell-fr"_s, u"French"_s},
        {1031, u"de_DE"_s, u"hunspell-de-de"_s, u"German"_s},
        {1040, u"it_IT"_s, u"hunspell-it"_s, u"Italian"_s},
        {1046, u"pt_BR"_s, u"hunspell-pt-br"_s, u"Portuguese (Brazil)"_s},
        {2070, u"pt_PT"_s, u"hunspell-pt-pt"_s, u"Portuguese (Portugal)"_s},
    };
    for (const LanguageDictionary &entry : table) {
        if (entry.language == language)
            return entry;
    }
    return std::nullopt;
}

QStringList dictionaryFolders(const QString &programFolder)
{
    QStringList folders;
    if (!programFolder.isEmpty())
        folders << QDir(programFolder).filePath(u"dict"_s);
    folders << u"/usr/share/hunspell"_s << u"/usr/share/myspell"_s << u"/usr/share/myspell/dicts"_s;
    return folders;
}

HunspellDictionary::~HunspellDictionary() = default;

namespace {

// The SET line of an .aff file; ISO8859-1 when there is none, as Hunspell
// itself assumes.
QString affixEncoding(const QString &affixPath)
{
    QFile file(affixPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.startsWith("SET ") || line.startsWith("SET\t"))
            return QString::fromLatin1(line.mid(4).trimmed());
    }
    return u"ISO8859-1"_s;
}

} // namespace

Result<std::unique_ptr<HunspellDictionary>> HunspellDictionary::load(const LanguageDictionary &dictionary,
                                                                     const QStringList &folders)
{
    for (const QString &folder : folders) {
        const QDir dir(folder);
        const QString aff = dir.filePath(dictionary.dictionary + u".aff"_s);
        const QString dic = dir.filePath(dictionary.dictionary + u".dic"_s);
        if (!QFileInfo(aff).isReadable() || !QFileInfo(dic).isReadable())
            continue;

        const QString encodingName = affixEncoding(aff);
        QStringEncoder encoder(encodingName.toLatin1().constData());
        QStringDecoder decoder(encodingName.toLatin1().constData());
        if (!encoder.isValid() || !decoder.isValid()) {
            return Failure{u"The spelling dictionary %1 uses the character set %2, which this system cannot convert."_s
                               .arg(aff, encodingName),
                           {}};
        }
        std::unique_ptr<HunspellDictionary> loaded(new HunspellDictionary);
        loaded->m_hunspell = std::make_unique<Hunspell>(QFile::encodeName(aff).constData(),
                                                        QFile::encodeName(dic).constData());
        loaded->m_encoder = std::move(encoder);
        loaded->m_decoder = std::move(decoder);
        return loaded;
    }
    return Failure{u"The %1 spelling dictionary is not installed: %2.aff and %2.dic were not found in %3.\n"
                   "Install it with: sudo apt-get install %4"_s
                       .arg(dictionary.name, dictionary.dictionary, folders.join(u", "_s), dictionary.package),
                   {}};
}

std::optional<std::string> HunspellDictionary::encode(const QString &word)
{
    m_encoder.resetState();
    const QByteArray bytes = m_encoder.encode(word);
    // A word the dictionary's character set cannot hold is not in it.
    if (m_encoder.hasError())
        return std::nullopt;
    return bytes.toStdString();
}

QString HunspellDictionary::decode(const std::string &bytes)
{
    m_decoder.resetState();
    return m_decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

bool HunspellDictionary::isCorrect(const QString &word)
{
    const auto bytes = encode(word);
    return bytes && m_hunspell->spell(*bytes);
}

QStringList HunspellDictionary::suggest(const QString &word)
{
    const auto bytes = encode(word);
    if (!bytes)
        return {};
    QStringList out;
    for (const std::string &s : m_hunspell->suggest(*bytes))
        out << decode(s);
    return out;
}

void HunspellDictionary::add(const QString &word)
{
    if (const auto bytes = encode(word))
        m_hunspell->add(*bytes);
}
