#include "exchange/tmx.h"

#include <QDateTime>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

using namespace Qt::StringLiterals;

namespace {

void writeVariant(QXmlStreamWriter &xml, const QString &language, const QString &text)
{
    xml.writeStartElement(u"tuv"_s);
    xml.writeAttribute(u"xml:lang"_s, language);
    xml.writeTextElement(u"seg"_s, withLf(text));
    xml.writeEndElement();
}

QString mainLanguage(QStringView language)
{
    return language.left(language.indexOf(u'-')).toString().toLower();
}

} // namespace

QByteArray writeTmx(const std::vector<ExchangeBlock> &blocks)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeStartElement(u"tmx"_s);
    xml.writeAttribute(u"version"_s, u"1.4"_s);
    xml.writeStartElement(u"header"_s);
    for (const auto &[name, value] : {std::pair(u"creationtool"_s, u"Tallowpen"_s),
                                      {u"creationtoolversion"_s, u"1"_s},
                                      {u"datatype"_s, u"plaintext"_s},
                                      {u"segtype"_s, u"block"_s},
                                      {u"adminlang"_s, u"en"_s},
                                      {u"srclang"_s, u"en"_s},
                                      {u"o-tmf"_s, u"Tallowpen"_s},
                                      {u"creationdate"_s,
                                       QDateTime::currentDateTimeUtc().toString(u"yyyyMMddTHHmmssZ"_s)}})
        xml.writeAttribute(name, value);
    xml.writeEndElement();
    xml.writeStartElement(u"body"_s);
    for (const ExchangeBlock &block : blocks) {
        if (!block.translated || block.translation.isEmpty())
            continue;
        xml.writeStartElement(u"tu"_s);
        xml.writeStartElement(u"prop"_s);
        xml.writeAttribute(u"type"_s, u"x-block"_s);
        xml.writeCharacters(blockKey(block.address.table, block.address.fileName, block.address.number));
        xml.writeEndElement();
        writeVariant(xml, u"en"_s, block.original);
        writeVariant(xml, u"es"_s, block.translation);
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

Result<TmxRead> readTmx(const QByteArray &bytes)
{
    TmxRead read;
    QXmlStreamReader xml(bytes);
    QString english, spanish, language;
    bool sawTmx = false;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == u"tu") {
            if (english.isEmpty() || spanish.isEmpty())
                ++read.skipped;
            else
                read.pairs.emplace_back(english, spanish);
            english.clear(), spanish.clear();
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"tmx")
            sawTmx = true;
        else if (xml.name() == u"tuv")
            language = mainLanguage(xml.attributes().value(u"xml:lang"_s).isEmpty()
                                        ? xml.attributes().value(u"lang"_s)
                                        : xml.attributes().value(u"xml:lang"_s));
        else if (xml.name() == u"seg")
            (language == u"en" ? english : language == u"es" ? spanish : language) = readElementText(xml);
    }
    if (xml.hasError() || !sawTmx)
        return Failure{u"Line %1: %2"_s.arg(xml.lineNumber()).arg(
                           xml.hasError() ? xml.errorString() : u"this is not a TMX file."_s),
                       {}, 0};
    return read;
}
