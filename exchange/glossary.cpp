#include "exchange/glossary.h"

#include "links/linkstore.h"
#include "keeping/backup.h"
#include "store/database.h"
#include "store/linkrows.h"
#include "store/storetext.h"

#include <QFileInfo>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

const QStringList Header = {u"word"_s,     u"suggest1"_s, u"suggest2"_s, u"suggest3"_s,
                            u"suggest4"_s, u"suggest5"_s, u"comment"_s};

QString csvField(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    return u'"' + QString(text).replace(u"\""_s, u"\"\""_s) + u'"';
}

} // namespace

QByteArray writeGlossary(const QList<LinkRow> &rows)
{
    QString text = Header.join(u',') + u"\r\n"_s;
    for (const LinkRow &row : rows) {
        QStringList fields{csvField(fromStoreText(row.word))};
        for (const QString &suggestion : row.suggestions)
            fields << csvField(fromStoreText(suggestion));
        fields << csvField(fromStoreText(row.comment));
        text += fields.join(u',') + u"\r\n"_s;
    }
    return text.toUtf8();
}

Result<GlossaryRead> readGlossary(const QByteArray &bytes)
{
    GlossaryRead read;
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false, fieldStarted = false;
    int line = 1;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const QChar c = i < text.size() ? text[i] : QChar(u'\n');
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
                field += c, ++i;
            else if (c == u'"')
                quoted = false;
            else if (i == text.size())
                return Failure{u"Line %1: a quoted field is not closed."_s.arg(line), {}, 0};
            else
                field += c, line += c == u'\n';
            continue;
        }
        if (c == u'"' && !fieldStarted) {
            quoted = fieldStarted = true;
        } else if (c == u',') {
            record << field, field.clear(), fieldStarted = false;
        } else if (c == u'\n') {
            record << field, field.clear(), fieldStarted = false;
            if (record != QStringList{QString()})
                records << record;
            record.clear();
            ++line;
        } else if (c != u'\r') {
            field += c, fieldStarted = true;
        }
    }
    for (qsizetype n = 0; n < records.size(); ++n) {
        const QStringList &fields = records[n];
        if (n == 0 && fields.value(0).trimmed().compare(u"word"_s, Qt::CaseInsensitive) == 0)
            continue;
        if (fields.size() < 2 || fields.size() > 7 || fields[0].trimmed().isEmpty())
            return Failure{
                u"Row %1: a row holds a word, one to five suggestions and a comment, the word first."_s.arg(n + 1), {}, 0};
        LinkRow row;
        row.word = fields[0].trimmed();
        for (qsizetype s = 1; s < std::min<qsizetype>(fields.size(), 6); ++s)
            row.suggestions[size_t(s - 1)] = fields[s].trimmed();
        row.comment = fields.value(6);
        read.rows << row;
    }
    return read;
}

Result<GlossaryImport> importGlossary(Database &db, const QList<LinkRow> &rows)
{
    GlossaryImport result;
    const Backups::Outcome backup = Backups::makeBackup(QFileInfo(db.path()).absolutePath(), GlossaryImportReason);
    if (!backup)
        return Failure{backup.error().message
                           + u" Nothing was imported; free some room or fix the folder and try again."_s,
                       {}, 0};
    result.backup = *backup;
    const auto failed = [&](const QString &why) -> Result<GlossaryImport> {
        db.abandon();
        return Failure{u"The glossary was not imported; no link changed. "_s + why, {}, 0};
    };
    if (const Result<Done> begun = db.begin(); !begun)
        return failed(begun.error().message);
    for (const LinkRow &row : rows) {
        const Result<std::vector<LinkColumns>> known = linkRowsOf(db, row.word);
        if (!known)
            return failed(known.error().message);
        LinkFields wanted, stored;
        for (size_t i = 0; i < 5; ++i)
            wanted[i] = row.suggestions[i];
        wanted[5] = row.comment;
        for (size_t i = 0; i < wanted.size(); ++i)
            stored[i] = toStoreText(wanted[i]);
        const Result<QVariant> exists = countLinkRows(db, row.word);
        if (!exists)
            return failed(exists.error().message);
        if (exists->toInt() > 0 && linkFieldsOf(*known) == stored) {
            ++result.unchanged;
            continue;
        }
        if (const Result<Done> saved = writeLink(db, row.word, wanted, exists->toInt() > 0); !saved)
            return failed(saved.error().message);
        ++(exists->toInt() > 0 ? result.changed : result.added);
    }
    if (const Result<Done> committed = db.commit(); !committed)
        return failed(committed.error().message);
    return result;
}
