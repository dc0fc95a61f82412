#include "exchange/xliff.h"

#include "editor/tags.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

using namespace Qt::StringLiterals;

namespace {

const QString Namespace = u"urn:oasis:names:tc:xliff:document:1.2"_s;

// The text with each tag as a <ph> holding it; LF for line breaks.
void writeInline(QXmlStreamWriter &xml, const QString &shown)
{
    const QString text = withLf(shown);
    qsizetype at = 0;
    int id = 0;
    for (const TagToken &tag : findTags(text)) {
        if (!tag.closed)
            break; // a "<" with no ">" after it is text
        xml.writeCharacters(text.mid(at, tag.start - at));
        xml.writeStartElement(u"ph"_s);
        xml.writeAttribute(u"id"_s, QString::number(++id));
        xml.writeCharacters(text.mid(tag.start, tag.length));
        xml.writeEndElement();
        at = tag.start + tag.length;
    }
    xml.writeCharacters(text.mid(at));
}

QString state(const ExchangeBlock &block)
{
    if (!block.translated)
        return u"needs-translation"_s;
    return block.revised ? u"final"_s : u"translated"_s;
}

void writeUnit(QXmlStreamWriter &xml, const ExchangeBlock &block)
{
    xml.writeStartElement(u"trans-unit"_s);
    xml.writeAttribute(u"id"_s, QString::number(block.address.number));
    xml.writeAttribute(u"resname"_s, blockKey(block.address.table, block.address.fileName, block.address.number));
    xml.writeAttribute(u"maxwidth"_s, QString::number(block.width));
    xml.writeAttribute(u"size-unit"_s, u"char"_s);
    xml.writeAttribute(u"xml:space"_s, u"preserve"_s);
    if (block.revised)
        xml.writeAttribute(u"approved"_s, u"yes"_s);
    xml.writeStartElement(u"source"_s);
    writeInline(xml, block.original);
    xml.writeEndElement();
    xml.writeStartElement(u"target"_s);
    xml.writeAttribute(u"state"_s, state(block));
    writeInline(xml, block.translation);
    xml.writeEndElement();
    xml.writeStartElement(u"context-group"_s);
    xml.writeAttribute(u"name"_s, u"window"_s);
    xml.writeAttribute(u"purpose"_s, u"information"_s);
    for (const auto &[type, value] : {std::pair(u"x-window-width"_s, block.width), {u"x-window-height"_s, block.height}}) {
        xml.writeStartElement(u"context"_s);
        xml.writeAttribute(u"context-type"_s, type);
        xml.writeCharacters(QString::number(value));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    if (!block.comment.isEmpty())
        xml.writeTextElement(u"note"_s, withLf(block.comment));
    xml.writeEndElement();
}


} // namespace

QByteArray writeXliff(const std::vector<ExchangeBlock> &blocks)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeStartElement(u"xliff"_s);
    xml.writeAttribute(u"version"_s, u"1.2"_s);
    xml.writeDefaultNamespace(Namespace);
    QString open;
    for (const ExchangeBlock &block : blocks) {
        const QString path = scriptPath(block.address);
        if (path != open) {
            if (!open.isEmpty())
                xml.writeEndElement(), xml.writeEndElement();
            open = path;
            xml.writeStartElement(u"file"_s);
            xml.writeAttribute(u"original"_s, path);
            xml.writeAttribute(u"source-language"_s, u"en"_s);
            xml.writeAttribute(u"target-language"_s, u"es"_s);
            xml.writeAttribute(u"datatype"_s, u"plaintext"_s);
            xml.writeStartElement(u"body"_s);
        }
        writeUnit(xml, block);
    }
    if (!open.isEmpty())
        xml.writeEndElement(), xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

Result<XliffRead> readXliff(const QByteArray &bytes)
{
    XliffRead read;
    QXmlStreamReader xml(bytes);
    QString table, fileName;
    bool inFile = false;
    ExchangeUnit unit;
    bool inUnit = false;
    const auto fail = [&](const QString &why) {
        return Failure{u"Line %1: %2"_s.arg(xml.lineNumber()).arg(why), {}, 0};
    };
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == u"trans-unit") {
            inUnit = false;
            read.units.push_back(unit);
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        const auto name = xml.name();
        if (name == u"xliff" && xml.attributes().value(u"version"_s) != u"1.2")
            return fail(u"this is not XLIFF 1.2."_s);
        if (name == u"file") {
            const QString original = xml.attributes().value(u"original"_s).toString();
            if (!splitScriptPath(original, &table, &fileName))
                return fail(u"the file \"%1\" does not name a script as folder/file name."_s.arg(original));
            inFile = true;
        } else if (name == u"trans-unit") {
            bool number = false;
            const int id = xml.attributes().value(u"id"_s).toInt(&number);
            if (!inFile || !number || id < -32768 || id > 32767)
                return fail(u"the unit's id is not a block number."_s);
            unit = {};
            unit.address = {table, fileName, qint16(id)};
            unit.line = int(xml.lineNumber());
            inUnit = true;
        } else if (inUnit && name == u"source") {
            unit.source = readElementText(xml);
        } else if (inUnit && name == u"target") {
            const QString state = xml.attributes().value(u"state"_s).toString();
            unit.revised = state == u"final" || state == u"signed-off";
            unit.target = readElementText(xml);
            unit.hasTarget = state != u"needs-translation" || !unit.target.isEmpty();
        }
    }
    if (xml.hasError())
        return fail(xml.errorString());
    return read;
}
