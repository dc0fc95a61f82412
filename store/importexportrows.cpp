#include "store/importexportrows.h"

#include "store/layout.h"
#include "store/storetext.h"

#include <array>
#include <charconv>
#include <cstring>

using namespace Qt::StringLiterals;

QString exportListStatement(const QString &table, bool onlyRevised)
{
    return u"SELECT * FROM "_s + table
        + (onlyRevised ? u" WHERE translated = 1 AND revised = 1"_s : u" WHERE translated = 1"_s);
}

Result<ResultSet> exportListRows(Database &db, const QString &table, bool onlyRevised)
{
    return db.query(exportListStatement(table, onlyRevised));
}

QString exportScriptStatement(const QString &folder, const QString &script, bool onlyRevised,
                              bool includeUntranslated)
{
    const QString select = u"SELECT * FROM "_s + folder + u" WHERE file_name = "_s + storeLiteral(script);
    if (includeUntranslated)
        return select + u';';
    if (onlyRevised)
        return select + u" AND translated = 1 AND revised = 1;"_s;
    return select + u" AND translated = 1;"_s;
}

Result<ResultSet> exportedScriptRows(Database &db, const QString &folder, const QString &script, bool onlyRevised,
                                     bool includeUntranslated)
{
    return db.query(exportScriptStatement(folder, script, onlyRevised, includeUntranslated));
}

Result<qint64> scriptRowCount(Database &db)
{
    qint64 sum = 0;
    for (const QString &table : {ScriptTables::battleScript, ScriptTables::battlingArena, ScriptTables::field}) {
        Result<ResultSet> rows = db.query(u"Select * from "_s + table);
        if (!rows)
            return rows.error();
        sum += rows->rowCount();
    }
    return sum;
}

bool holdsScriptRows(Database &db)
{
    for (const QString &table : ScriptTables::all) {
        const Result<ResultSet> row = db.query(u"SELECT 1 FROM "_s + table + u" LIMIT 1"_s);
        if (!row || row->rowCount() > 0)
            return true;
    }
    return false;
}

Result<Done> deleteImportedRows(Database &db, const std::function<void(const QString &table)> &before)
{
    static const std::array<std::pair<QString, QString>, 4> deletions = {{
        {ScriptTables::battleScript, u"DELETE FROM battle_script WHERE dialogue_id > 0;"_s},
        {ScriptTables::battlingArena, u"DELETE FROM battling_arena WHERE dialogue_id > 0;"_s},
        {ScriptTables::field, u"DELETE FROM field WHERE dialogue_id > 0;"_s},
        {u"suggestion"_s, u"DELETE FROM suggestion WHERE word <> '';"_s},
    }};
    for (const auto &[table, statement] : deletions) {
        if (before)
            before(table);
        if (Result<QVariant> deleted = db.execute(statement); !deleted)
            return deleted.error();
    }
    return Done{};
}

QString originalInsertStatement(const QString &folder, const QString &name, qint16 number, const QString &text,
                                qint16 width, qint16 height)
{
    return u"INSERT INTO "_s + folder
        + u" (file_name,dialogue_id,text_data,width,height,comments,translated,revised,text_data_t,new_width,"
          "new_height) VALUES ("_s
        + storeLiteral(name) + u", "_s + QString::number(number) + u", "_s + storeLiteral(text) + u" ,"_s
        + QString::number(width) + u", "_s + QString::number(height) + u" ,'', 0,0 ,'', 0,0);"_s;
}

namespace {

void appendNumber(QByteArray &out, qint16 number)
{
    char digits[8];
    const auto end = std::to_chars(digits, digits + sizeof digits, int(number)).ptr;
    out.append(digits, end - digits);
}

// storeLiteral(text).toUtf8() appended to `out`; false, with `out` cut back,
// when the text holds a zero character.
bool appendStoreLiteral(QByteArray &out, QStringView text)
{
    const qsizetype start = out.size();
    // Three bytes at most for each UTF-16 unit, and the two quotes.
    out.resize(start + text.size() * 3 + 2);
    char *to = out.data() + start;
    *to++ = '\'';
    const char16_t *from = text.utf16(), *end = from + text.size();
    while (from < end) {
        const char16_t c = *from;
        if (c == 0) {
            out.truncate(start);
            return false;
        }
        if (c < 0x80) {
            *to++ = c == u'\'' ? '`' : char(c);
            ++from;
        } else if (c < 0x800) {
            *to++ = char(0xc0 | (c >> 6));
            *to++ = char(0x80 | (c & 0x3f));
            ++from;
        } else if (!QChar::isSurrogate(c)) {
            *to++ = char(0xe0 | (c >> 12));
            *to++ = char(0x80 | ((c >> 6) & 0x3f));
            *to++ = char(0x80 | (c & 0x3f));
            ++from;
        } else {
            // Pairs and lone halves are rare: Qt's encoder gives them the
            // bytes toUtf8 would.
            const char16_t *run = from;
            while (run < end && QChar::isSurrogate(*run))
                ++run;
            const QByteArray encoded = QStringView(from, run).toUtf8();
            const qsizetype at = to - out.data();
            out.resize(out.size() + encoded.size());
            to = out.data() + at;
            std::memcpy(to, encoded.constData(), size_t(encoded.size()));
            to += encoded.size();
            from = run;
        }
    }
    *to++ = '\'';
    out.truncate(to - out.data());
    return true;
}

} // namespace

OriginalRowWriter::OriginalRowWriter(Database &db, const QString &folder, const QString &name)
    : m_db(db)
    , m_start((u"INSERT INTO "_s + folder
               + u" (file_name,dialogue_id,text_data,width,height,comments,translated,revised,text_data_t,"
                 "new_width,new_height) VALUES ("_s
               + storeLiteral(name) + u", "_s)
                  .toUtf8())
{
}

const QByteArray &OriginalRowWriter::statement(qint16 number, QStringView text, qint16 width, qint16 height)
{
    m_statement.resize(0);
    m_statement.append(m_start);
    appendNumber(m_statement, number);
    m_statement.append(", ");
    if (!appendStoreLiteral(m_statement, text)) {
        m_statement.resize(0);
        return m_statement;
    }
    m_statement.append(" ,");
    appendNumber(m_statement, width);
    m_statement.append(", ");
    appendNumber(m_statement, height);
    m_statement.append(" ,'', 0,0 ,'', 0,0);");
    return m_statement;
}

Result<Done> OriginalRowWriter::store(qint16 number, QStringView text, qint16 width, qint16 height)
{
    if (statement(number, text, width, height).isEmpty())
        return Failure{u"the text holds a zero character, which cannot stand in a statement"_s, {}, 0};
    if (Result<QVariant> stored = m_db.executeUtf8(m_statement); !stored)
        return stored.error();
    return Done{};
}

Result<Done> beginFileRows(Database &db)
{
    if (Result<QVariant> begun = db.execute(u"SAVEPOINT import_file"_s); !begun)
        return begun.error();
    return Done{};
}

Result<Done> keepFileRows(Database &db)
{
    if (Result<QVariant> kept = db.execute(u"RELEASE import_file"_s); !kept)
        return kept.error();
    return Done{};
}

void dropFileRows(Database &db)
{
    static_cast<void>(db.execute(u"ROLLBACK TO import_file"_s));
    static_cast<void>(db.execute(u"RELEASE import_file"_s));
}
