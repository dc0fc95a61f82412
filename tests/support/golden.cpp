#include "tests/support/golden.h"

#include <QFile>

using namespace Qt::StringLiterals;

QString escapedLine(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\r' || u == u'\n' || u == u'\\')
            out += u == u'\r' ? u"\\r"_s : u == u'\n' ? u"\\n"_s : u"\\\\"_s;
        else if (u < 0x20 || (u >= 0x7F && u <= 0x9F))
            out += u"\\x"_s + QString::number(u, 16).rightJustified(2, u'0');
        else
            out += c;
    }
    return out;
}

QStringList goldenLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {u"<missing>"_s};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}
