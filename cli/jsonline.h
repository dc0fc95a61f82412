#pragma once

#include <QString>
#include <QStringList>

// One JSON object on one line, keys in the order they are added (other
// programs read these lines, and the order is part of the format).
class JsonLine
{
public:
    JsonLine &add(const char *key, const QString &value);
    JsonLine &add(const char *key, qint64 value);
    JsonLine &add(const char *key, int value) { return add(key, qint64(value)); }
    JsonLine &add(const char *key, bool value);
    JsonLine &addNull(const char *key);
    JsonLine &add(const char *key, const QStringList &values);
    JsonLine &add(const char *key, const QList<JsonLine> &objects);
    QString toString() const { return u'{' + m_body + u'}'; }

    static QString quoted(const QString &text);

private:
    JsonLine &addRaw(const char *key, const QString &json);
    QString m_body;
};
