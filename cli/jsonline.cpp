#include "cli/jsonline.h"

using namespace Qt::StringLiterals;

QString JsonLine::quoted(const QString &text)
{
    QString json;
    json.reserve(text.size() + 2);
    json += u'"';
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'"':
            json += u"\\\""_s;
            break;
        case u'\\':
            json += u"\\\\"_s;
            break;
        case u'\n':
            json += u"\\n"_s;
            break;
        case u'\r':
            json += u"\\r"_s;
            break;
        case u'\t':
            json += u"\\t"_s;
            break;
        case u'\b':
            json += u"\\b"_s;
            break;
        case u'\f':
            json += u"\\f"_s;
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                json += u"\\u%1"_s.arg(uint(c.unicode()), 4, 16, QChar(u'0'));
            else
                json += c;
        }
    }
    json += u'"';
    return json;
}

JsonLine &JsonLine::addRaw(const char *key, const QString &json)
{
    if (!m_body.isEmpty())
        m_body += u", "_s;
    m_body += quoted(QString::fromLatin1(key)) + u": "_s + json;
    return *this;
}

JsonLine &JsonLine::add(const char *key, const QString &value)
{
    return addRaw(key, quoted(value));
}

JsonLine &JsonLine::add(const char *key, qint64 value)
{
    return addRaw(key, QString::number(value));
}

JsonLine &JsonLine::add(const char *key, bool value)
{
    return addRaw(key, value ? u"true"_s : u"false"_s);
}

JsonLine &JsonLine::addNull(const char *key)
{
    return addRaw(key, u"null"_s);
}

JsonLine &JsonLine::add(const char *key, const QStringList &values)
{
    QStringList items;
    items.reserve(values.size());
    for (const QString &value : values)
        items << quoted(value);
    return addRaw(key, u'[' + items.join(u", "_s) + u']');
}

JsonLine &JsonLine::add(const char *key, const QList<JsonLine> &objects)
{
    QStringList items;
    items.reserve(objects.size());
    for (const JsonLine &object : objects)
        items << object.toString();
    return addRaw(key, u'[' + items.join(u", "_s) + u']');
}
