#pragma once

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTest>

// The rows of a long data-driven table, kept in a text file beside the
// test: "row name | field | field..." a line, '#' lines are notes. Fields
// are trimmed and take the escapes \r \n \t \s (a blank), \| and \uXXXX;
// every column is a QString.
namespace TableFile {

using namespace Qt::StringLiterals;

inline QString unescape(const QString &field)
{
    static const QHash<QChar, QChar> codes{{u'r', u'\r'}, {u'n', u'\n'}, {u't', u'\t'}, {u's', u' '}};
    QString text;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] != u'\\' || i + 1 == field.size()) {
            text += field[i];
        } else if (field[++i] == u'u') {
            text += QChar(field.mid(i + 1, 4).toUShort(nullptr, 16));
            i += 4;
        } else {
            text += codes.value(field[i], field[i]);
        }
    }
    return text;
}

inline void addRows(const QString &path, const QList<const char *> &columns)
{
    for (const char *column : columns)
        QTest::addColumn<QString>(column);
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(u'#'))
            continue;
        QStringList fields = line.split(QRegularExpression(u"(?<!\\\\)\\|"_s));
        QVERIFY2(fields.size() == columns.size() + 1, qPrintable(line));
        QTestData &row = QTest::newRow(qPrintable(fields.takeFirst().trimmed()));
        for (const QString &field : std::as_const(fields))
            row << unescape(field.trimmed());
    }
}

} // namespace TableFile
