#include "links/linksfile.h"

#include "scripts/cp1252.h"
#include "keeping/backup.h"
#include "store/database.h"
#include "files/safefile.h"
#include "store/storetext.h"

#include <QDir>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

QString decodeLinksFile(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return Cp1252::decode(bytes);
    if (text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1);
    return text;
}

QStringList linksFileLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

LinksLine parseLinksLine(const QString &line)
{
    LinksLine parsed;
    if (line.contains(u'\'')) {
        parsed.kind = LinksLine::Skipped;
        return parsed;
    }
    const qsizetype comma = line.indexOf(u',');
    if (comma < 0)
        return parsed;
    parsed.kind = LinksLine::Link;
    parsed.word = line.left(comma).trimmed();
    parsed.suggestion = line.mid(comma + 1).trimmed();
    return parsed;
}

QString LinksImportResult::failureText() const
{
    return QString::number(int(failure)) + description;
}

LinksImportResult importLinksFile(Database &db, const QString &path)
{
    LinksImportResult result;
    const QString name = QDir::toNativeSeparators(path);
    const Result<QByteArray> read = SafeFile::readRegular(path);
    if (!read) {
        result.failure = LinksImportFailure::Unreadable;
        result.description = u"The links file %1 cannot be read: %2"_s.arg(name, read.error().message);
        return result;
    }
    const QByteArray &bytes = *read;

    if (const Result<Done> backup = Backups::backupBeforeChange(db, Backups::Reason::LinksImport); !backup) {
        result.failure = LinksImportFailure::StatementRefused;
        result.description = backup.error().message;
        return result;
    }
    const QStringList lines = linksFileLines(decodeLinksFile(bytes));
    // One transaction for speed; what was inserted before a failing line is
    // committed all the same, as the user expects those rows to stay.
    const bool grouped = db.begin().ok();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const LinksLine line = parseLinksLine(lines.at(i));
        if (line.kind == LinksLine::Skipped) {
            ++result.skipped;
            continue;
        }
        if (line.kind == LinksLine::NoComma) {
            result.failure = LinksImportFailure::NoComma;
            result.description = u"Line %1 of the links file %2 has no comma between the word and its link."_s.arg(
                QString::number(i + 1), name);
            break;
        }
        if (const Result<QVariant> stored = db.execute(linksInsertStatement(line.word, line.suggestion)); !stored) {
            result.failure = LinksImportFailure::StatementRefused;
            result.description = u"Line %1 of the links file %2 could not be stored: %3"_s.arg(
                QString::number(i + 1), name, stored.error().message);
            break;
        }
        ++result.inserted;
    }
    if (grouped) {
        if (const Result<Done> committed = db.commit(); !committed) {
            db.abandon();
            result.inserted = 0;
            result.failure = LinksImportFailure::StatementRefused;
            result.description = u"The links read from %1 could not be stored: %2"_s.arg(name, committed.error().message);
        }
    }
    return result;
}
