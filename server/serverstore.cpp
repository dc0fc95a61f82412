#include "server/serverstore.h"

#include "server/schema.h"
#include "store/layout.h"
#include "store/storetext.h"
#include "store/unicodelike.h"

#include <QHash>

#include <map>

using namespace Qt::StringLiterals;

namespace {

const QByteArray ScriptColumns = "file_name, dialogue_id, text_data, width, height, comments, translated, revised, "
                                 "text_data_t, new_width, new_height";

// Table names are never the user's: only the program's three pass.
std::optional<QByteArray> tableName(const QString &table)
{
    if (!ScriptTables::contains(table))
        return std::nullopt;
    return table.toLatin1();
}

Failure unknownTable(const QString &table)
{
    return {u"There is no script table %1; use battling_arena, battle_script or field."_s.arg(table), {}};
}

// COPY's text format: backslash, tab, newline and carriage return escaped.
void appendCopyField(QByteArray &line, const QByteArray &bytes)
{
    for (const char c : bytes) {
        switch (c) {
        case '\\': line += "\\\\"; break;
        case '\t': line += "\\t"; break;
        case '\n': line += "\\n"; break;
        case '\r': line += "\\r"; break;
        default: line += c;
        }
    }
}

// A SQLite text column may hold NULL; the program reads it as the empty
// text, and so does the server, which keeps no NULL text. Apostrophes are
// kept as the SQLite store keeps them.
void appendText(QByteArray &line, const QVariant &value)
{
    appendCopyField(line, toStoreText(value.toString()).toUtf8());
}

void appendNumber(QByteArray &line, const QVariant &value)
{
    if (value.isNull())
        line += "\\N";
    else
        appendCopyField(line, value.toString().toUtf8());
}

QString columnName(int position)
{
    switch (position) {
    case ColTextDataT: return u"text_data_t"_s;
    case ColTextData: return u"text_data"_s;
    default: return u"comments"_s;
    }
}

BlockRow blockRowOf(const ServerRows &rows, int row)
{
    BlockRow values;
    for (int column = 0; column < int(values.size()); ++column)
        values[size_t(column)] = rows.value(row, column);
    return values;
}

} // namespace

ServerStore::ServerStore(ServerConnection connection)
    : m_server(std::move(connection))
{
}

Result<ServerStore> ServerStore::open(const QString &address)
{
    Result<ServerConnection> connection = ServerConnection::open(address);
    if (!connection)
        return connection.error();
    if (Result<Done> ours = ServerSchema::check(*connection); !ours)
        return ours.error();
    return ServerStore(std::move(*connection));
}

Result<BlockRead> ServerStore::loadBlock(const QString &key)
{
    BlockRead block;
    const auto address = parseBlockKey(key);
    if (!address)
        return block;
    const auto table = tableName(address->table);
    if (!table)
        return unknownTable(address->table);
    const QByteArray sql = "SELECT " + ScriptColumns + ", version, updated_by, "
        "to_char(updated_at AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS\"Z\"') FROM " + *table
        + " WHERE file_name = $1 AND dialogue_id = $2 ORDER BY row_id";
    Result<ServerRows> rows = m_server.run(sql.constData(), {parameter(address->fileName),
                                                             QByteArray::number(address->number)});
    if (!rows)
        return rows.error();
    std::vector<BlockRow> read;
    for (int row = 0; row < rows->rowCount(); ++row)
        read.push_back(blockRowOf(*rows, row));
    block.load = blockLoadOf(key, read);
    if (rows->rowCount() == 1) {
        block.version = rows->number(0, 11);
        block.updatedBy = rows->text(0, 12);
        block.updatedAt = rows->text(0, 13);
    }
    return block;
}

Result<BlockSave> ServerStore::saveBlock(const QString &key, const QString &nodeText, const BlockEdits &edits,
                                         const BlockSnapshot *known)
{
    return saveBlock(key, nodeText, edits, known, nullptr);
}

Result<BlockSave> ServerStore::saveBlock(const QString &key, const QString &nodeText, const BlockEdits &edits,
                                         const BlockSnapshot *known, VersionGuard *guard)
{
    BlockSave save;
    const auto address = parseBlockKey(key);
    if (!address)
        return save;
    const auto table = tableName(address->table);
    if (!table)
        return unknownTable(address->table);
    save.isBlock = true;

    const QString translation = toStoreText(edits.translation);
    const QString comment = toStoreText(edits.comment);
    const bool translated = !translation.isEmpty();
    save.revisedEnabled = translated;
    save.nodeImage = !translated ? 4 : (edits.revised ? 7 : 5);
    save.nodeText = commentMarkerText(nodeText, comment, address->number);
    const BlockSnapshot after{key, translation, comment, translated, edits.revised};
    save.stored = after;

    // A save that names its version is checked even when it would write
    // nothing new: a stale one is refused either way.
    const bool checked = guard && guard->expected;
    if (!known || *known != after || checked) {
        const QByteArray file = parameter(address->fileName);
        const QByteArray number = QByteArray::number(address->number);
        const QByteArray tableText = parameter(address->table);
        bool updated = false;
        Result<Done> written = m_server.transaction<Done>([&]() -> Result<Done> {
            const QByteArray lock = "SELECT translated, text_data_t, comments, revised, version, updated_by, "
                "to_char(updated_at AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS\"Z\"') FROM " + *table
                + " WHERE file_name = $1 AND dialogue_id = $2 FOR UPDATE";
            Result<ServerRows> before = m_server.run(lock.constData(), {file, number});
            if (!before)
                return before.error();
            const bool single = before->rowCount() == 1;
            // The row is locked: the version read is the one the UPDATE replaces.
            if (single && checked && before->number(0, 4) != *guard->expected)
                return VersionCheck::conflict(*address, before->text(0, 5), before->text(0, 6), before->number(0, 4),
                                              *guard->expected);
            // Only the fields this save changes are written: another's edit of
            // a field it did not touch stands, and a role that may not set the
            // Revised mark still saves its translation.
            QList<QByteArray> values{file, number};
            QByteArray assignments;
            const auto set = [&](const char *column, const QByteArray &value) {
                values << value;
                assignments += QByteArray(column) + " = $" + QByteArray::number(values.size()) + ", ";
            };
            if (!single || before->text(0, 1) != translation) {
                set("text_data_t", parameter(translation));
                set("text_data_t_folded", parameter(unicodeLikeFolded(translation)));
            }
            if (!single || before->text(0, 2) != comment) {
                set("comments", parameter(comment));
                set("comments_folded", parameter(unicodeLikeFolded(comment)));
            }
            if (!single || (before->number(0, 0) == 1) != translated)
                set("translated", translated ? "1" : "0");
            if (!single || (before->number(0, 3) == 1) != edits.revised)
                set("revised", edits.revised ? "1" : "0");
            if (assignments.isEmpty()) {
                if (guard)
                    guard->saved = before->number(0, 4);
                return Done{};
            }
            const QByteArray update = "UPDATE " + *table + " SET " + assignments
                + "version = version + 1, updated_by = session_user, updated_at = now() "
                  "WHERE file_name = $1 AND dialogue_id = $2 RETURNING version";
            Result<ServerRows> changed = m_server.run(update.constData(), values);
            if (!changed)
                return changed.error();
            updated = true;
            // Saved: the "original changed" mark has been seen to.
            if (Result<ServerRows> closed = m_server.run(
                    "UPDATE original_change SET open = 0 WHERE block_table = $1 AND file_name = $2 "
                    "AND dialogue_id = $3 AND open = 1",
                    {tableText, file, number});
                !closed)
                return closed.error();
            if (guard && changed->rowCount() == 1)
                guard->saved = changed->number(0, 0);
            // The values the editor showed before, kept when the save changes them.
            if (single) {
                const QString earlier = before->number(0, 0) == 1 ? before->text(0, 1) : QString();
                const bool earlierRevised = before->number(0, 3) == 1;
                if (earlier != after.textDataT || before->text(0, 2) != after.comments
                    || earlierRevised != after.revised) {
                    Result<ServerRows> kept = m_server.run(
                        "INSERT INTO block_history (block_table, file_name, dialogue_id, version, translation, "
                        "comment, revised, written_by) VALUES ($1, $2, $3, $4, $5, $6, $7, $8)",
                        {tableText, file, number, QByteArray::number(before->number(0, 4)), parameter(earlier),
                         parameter(before->text(0, 2)), earlierRevised ? "1" : "0", parameter(before->text(0, 5))});
                    if (!kept)
                        return kept.error();
                }
            }
            for (int row = 0; row < changed->rowCount(); ++row) {
                Result<ServerRows> entry = m_server.run(
                    "INSERT INTO block_change (block_table, file_name, dialogue_id, version) VALUES ($1, $2, $3, $4)",
                    {tableText, file, number, QByteArray::number(changed->number(row, 0))});
                if (!entry)
                    return entry.error();
            }
            return Done{};
        });
        if (!written && VersionCheck::isConflict(written.error()))
            return written.error();
        if (!written)
            return Failure{u"Block %1 of %2 could not be saved (%3). Your text is still in the editor; the next "
                               "save tries again."_s.arg(QString::number(address->number), address->fileName,
                                                         written.error().message),
                               written.error().sqlState};
        save.written = updated;
    }
    // The counts are the status line's business: a failure there leaves it unchanged.
    if (Result<TranslationCount> count = countBlocks(); count && count->hasBlocks())
        save.status = statusLine(count->percent());
    return save;
}

Result<TreeTables> ServerStore::treeRows()
{
    TreeTables tables;
    for (size_t t = 0; t < ScriptTables::all.size(); ++t) {
        const QByteArray sql = "SELECT file_name, dialogue_id, comments <> '', translated, revised FROM "
            + ScriptTables::all[t].toLatin1() + " ORDER BY row_id";
        Result<ServerRows> rows = m_server.run(sql.constData());
        if (!rows)
            return rows.error();
        std::vector<ScriptNodes::Row> &out = tables[t];
        out.reserve(size_t(rows->rowCount()));
        for (int row = 0; row < rows->rowCount(); ++row) {
            // A flag other than 0 or 1 cannot be stored; NULL reads as 0, as on SQLite.
            out.push_back({rows->text(row, 0), rows->text(row, 1), rows->text(row, 2) == u"t",
                           rows->number(row, 3) != 0, rows->number(row, 4) != 0});
        }
    }
    return tables;
}

Result<TranslationCount> ServerStore::countBlocks()
{
    Result<ServerRows> rows = m_server.run("SELECT sum(blocks), sum(translated) FROM block_count");
    if (!rows)
        return rows.error();
    TranslationCount count;
    count.blocks = rows->number(0, 0);
    count.translated = rows->number(0, 1);
    return count;
}

Result<SearchOutcome> ServerStore::search(SearchType type, const QString &typed)
{
    SearchOutcome outcome;
    const SearchInput input = prepareSearchText(typed);
    if (!input.accepted()) {
        outcome.status = SearchOutcome::Refused;
        outcome.message = input.problem;
        return outcome;
    }
    // The pattern as SQLite's LIKE would compare it: stored form, folded.
    const QByteArray pattern = parameter(unicodeLikeFolded(toStoreText(u'%' + input.pattern + u'%')));
    for (const SearchStep &statement : searchSteps(type)) {
        const auto table = tableName(statement.table);
        if (!table)
            return unknownTable(statement.table);
        const QByteArray column = columnName(statement.textColumn).toLatin1();
        QByteArray sql = "SELECT dialogue_id, file_name, " + column + " FROM " + *table + " WHERE " + column
            + "_folded LIKE $1 ESCAPE ''";
        if (statement.textColumn == ColTextDataT)
            sql += " AND translated = 1";
        sql += " ORDER BY row_id";
        Result<ServerRows> rows = m_server.run(sql.constData(), {pattern});
        if (!rows)
            return rows.error();
        outcome.hits.reserve(outcome.hits.size() + rows->rowCount());
        for (int row = 0; row < rows->rowCount(); ++row)
            outcome.hits.append({rows->text(row, 0).trimmed(), rows->text(row, 1), statement.table, rows->text(row, 2)});
    }
    outcome.message = SearchMessages::finished;
    return outcome;
}

Result<qint64> ServerStore::importBlocks(const QString &table, const std::vector<BlockRow> &rows)
{
    const auto name = tableName(table);
    if (!name)
        return unknownTable(table);
    QByteArray data;
    data.reserve(qsizetype(rows.size()) * 256);
    for (const BlockRow &row : rows) {
        for (int column = 0; column < int(row.size()); ++column) {
            const QVariant &value = row[size_t(column)];
            const bool text = column == ColFileName || column == ColTextData || column == ColComments
                || column == ColTextDataT;
            text ? appendText(data, value) : appendNumber(data, value);
            data += '\t';
        }
        appendCopyField(data, unicodeLikeFolded(toStoreText(row[ColTextData].toString())).toUtf8());
        data += '\t';
        appendCopyField(data, unicodeLikeFolded(toStoreText(row[ColTextDataT].toString())).toUtf8());
        data += '\t';
        appendCopyField(data, unicodeLikeFolded(toStoreText(row[ColComments].toString())).toUtf8());
        data += '\n';
    }
    const QByteArray sql = "COPY " + *name + " (" + ScriptColumns
        + ", text_data_folded, text_data_t_folded, comments_folded) FROM STDIN";
    if (Result<Done> copied = m_server.copyIn(sql.constData(), data); !copied)
        return Failure{u"The blocks of %1 could not be stored on the server: %2"_s.arg(table, copied.error().message),
                           copied.error().sqlState};
    return qint64(rows.size());
}

Result<qint64> ServerStore::importLinks(const std::vector<LinkColumns> &rows)
{
    ++m_linksMark;
    QByteArray data;
    for (const LinkColumns &row : rows) {
        for (size_t column = 0; column < row.size(); ++column) {
            appendCopyField(data, toStoreText(row[column]).toUtf8());
            data += column + 1 < row.size() ? '\t' : '\n';
        }
    }
    if (Result<Done> copied = m_server.copyIn(
            "COPY suggestion (word, suggest1, suggest2, suggest3, suggest4, suggest5, comment) FROM STDIN", data);
        !copied)
        return Failure{u"The word links could not be stored on the server: %1"_s.arg(copied.error().message),
                           copied.error().sqlState};
    return qint64(rows.size());
}

Result<std::vector<BlockRow>> ServerStore::blockRows(const QString &table)
{
    const auto name = tableName(table);
    if (!name)
        return unknownTable(table);
    const QByteArray sql = "SELECT " + ScriptColumns + " FROM " + *name + " ORDER BY row_id";
    Result<ServerRows> rows = m_server.run(sql.constData());
    if (!rows)
        return rows.error();
    std::vector<BlockRow> out;
    out.reserve(size_t(rows->rowCount()));
    for (int row = 0; row < rows->rowCount(); ++row)
        out.push_back(blockRowOf(*rows, row));
    return out;
}

Result<std::vector<BlockRow>> ServerStore::scriptRows(const QString &table, const QString &fileName)
{
    const auto name = tableName(table);
    if (!name)
        return unknownTable(table);
    const QByteArray sql = "SELECT " + ScriptColumns + " FROM " + *name + " WHERE file_name = $1 ORDER BY row_id";
    Result<ServerRows> rows = m_server.run(sql.constData(), {parameter(toStoreText(fileName))});
    if (!rows)
        return rows.error();
    std::vector<BlockRow> out;
    out.reserve(size_t(rows->rowCount()));
    for (int row = 0; row < rows->rowCount(); ++row)
        out.push_back(blockRowOf(*rows, row));
    return out;
}

Result<std::vector<BlockRow>> ServerStore::blocksAround(const BlockAddress &block, Around side, int count)
{
    const auto name = tableName(block.table);
    if (!name)
        return unknownTable(block.table);
    QByteArray sql = "SELECT " + ScriptColumns + " FROM " + *name + " WHERE file_name = $1 AND dialogue_id ";
    QList<QByteArray> values{parameter(toStoreText(block.fileName)), QByteArray::number(block.number)};
    switch (side) {
    case Around::Before:
        sql += "< $2 ORDER BY dialogue_id DESC, row_id LIMIT $3";
        break;
    case Around::Same:
        sql += "= $2 ORDER BY row_id";
        break;
    case Around::After:
        sql += "> $2 ORDER BY dialogue_id, row_id LIMIT $3";
        break;
    }
    if (side != Around::Same)
        values << QByteArray::number(std::max(count, 0));
    Result<ServerRows> rows = m_server.run(sql.constData(), values);
    if (!rows)
        return rows.error();
    std::vector<BlockRow> out;
    out.reserve(size_t(rows->rowCount()));
    for (int row = 0; row < rows->rowCount(); ++row)
        out.push_back(blockRowOf(*rows, row));
    return out;
}

Result<std::vector<LinkColumns>> ServerStore::links()
{
    Result<ServerRows> rows = m_server.run(
        "SELECT word, suggest1, suggest2, suggest3, suggest4, suggest5, comment FROM suggestion ORDER BY row_id");
    if (!rows)
        return rows.error();
    std::vector<LinkColumns> out;
    out.reserve(size_t(rows->rowCount()));
    for (int row = 0; row < rows->rowCount(); ++row) {
        LinkColumns &link = out.emplace_back();
        for (int column = 0; column < 7; ++column)
            link[size_t(column)] = rows->text(row, column);
    }
    return out;
}

// The texts are stored as the SQLite store keeps them, grave accents for apostrophes.
Result<Done> ServerStore::saveLink(const QString &word, const std::array<QString, 6> &fields, bool modify)
{
    QList<QByteArray> values{parameter(toStoreText(word))};
    for (const QString &field : fields)
        values << parameter(toStoreText(field));
    const char *statement = modify
        ? "UPDATE suggestion SET suggest1 = $2, suggest2 = $3, suggest3 = $4, suggest4 = $5, suggest5 = $6, "
          "comment = $7 WHERE word = $1"
        : "INSERT INTO suggestion (word, suggest1, suggest2, suggest3, suggest4, suggest5, comment) "
          "VALUES ($1, $2, $3, $4, $5, $6, $7)";
    ++m_linksMark;
    if (Result<ServerRows> saved = m_server.run(statement, values); !saved)
        return Failure{u"The link to \"%1\" could not be saved. %2"_s.arg(word, saved.error().message),
                       saved.error().sqlState};
    return Done{};
}

Result<Done> ServerStore::eraseLink(const QString &word)
{
    ++m_linksMark;
    if (Result<ServerRows> erased = m_server.run("DELETE FROM suggestion WHERE word = $1", {parameter(toStoreText(word))});
        !erased)
        return Failure{u"The links to \"%1\" could not be erased. %2"_s.arg(word, erased.error().message),
                       erased.error().sqlState};
    return Done{};
}

Result<std::vector<LinkColumns>> ServerStore::linksOf(const QString &word)
{
    Result<ServerRows> rows =
        m_server.run("SELECT word, suggest1, suggest2, suggest3, suggest4, suggest5, comment FROM suggestion "
                     "WHERE word = $1 ORDER BY row_id",
                     {parameter(toStoreText(word))});
    if (!rows)
        return rows.error();
    std::vector<LinkColumns> out;
    for (int row = 0; row < rows->rowCount(); ++row) {
        LinkColumns &link = out.emplace_back();
        for (int column = 0; column < 7; ++column)
            link[size_t(column)] = rows->text(row, column);
    }
    return out;
}

Result<QStringList> ServerStore::linkWords()
{
    // In the order SQLite gives them, from its index on the word: bytes, then rows.
    Result<ServerRows> rows = m_server.run("SELECT word FROM suggestion ORDER BY word COLLATE \"C\", row_id");
    if (!rows)
        return rows.error();
    QStringList words;
    words.reserve(rows->rowCount());
    for (int row = 0; row < rows->rowCount(); ++row)
        words.append(rows->text(row, 0));
    return words;
}

Result<std::vector<FigureRow>> ServerStore::figureRows(const QString &table, const QString &script)
{
    const auto name = tableName(table);
    if (!name)
        return unknownTable(table);
    QByteArray sql = "SELECT file_name, text_data, translated, revised FROM " + *name;
    QList<QByteArray> values;
    if (!script.isEmpty()) {
        sql += " WHERE file_name = $1";
        values << parameter(toStoreText(script));
    }
    sql += " ORDER BY row_id";
    Result<ServerRows> rows = m_server.run(sql.constData(), values);
    if (!rows)
        return rows.error();
    std::vector<FigureRow> out;
    out.reserve(size_t(rows->rowCount()));
    for (int row = 0; row < rows->rowCount(); ++row)
        out.push_back({rows->text(row, 0), rows->text(row, 1), rows->number(row, 2) == 1, rows->number(row, 3) == 1});
    return out;
}

Result<std::vector<TranslatedRow>> ServerStore::translatedRows(const QString &table)
{
    const auto name = tableName(table);
    if (!name)
        return unknownTable(table);
    const QByteArray sql = "SELECT file_name, dialogue_id, text_data, text_data_t FROM " + *name
        + " WHERE text_data_t <> '' ORDER BY row_id";
    Result<ServerRows> rows = m_server.run(sql.constData());
    if (!rows)
        return rows.error();
    std::vector<TranslatedRow> out;
    out.reserve(size_t(rows->rowCount()));
    for (int row = 0; row < rows->rowCount(); ++row)
        out.push_back({rows->text(row, 0), rows->number(row, 1), rows->text(row, 2), rows->text(row, 3)});
    return out;
}

namespace {

const QByteArray ShownTime = "to_char(updated_at AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS.US\"Z\"')";

bool isTextColumn(size_t column)
{
    return column == ColFileName || column == ColTextData || column == ColComments || column == ColTextDataT;
}

void appendColumns(QByteArray &line, const BlockRow &row, size_t from)
{
    for (size_t column = from; column < row.size(); ++column) {
        line += '\t';
        isTextColumn(column) ? appendText(line, row[column]) : appendNumber(line, row[column]);
    }
}

void appendFolded(QByteArray &line, const BlockRow &row)
{
    for (const int column : {ColTextData, ColTextDataT, ColComments}) {
        line += '\t';
        appendCopyField(line, unicodeLikeFolded(toStoreText(row[size_t(column)].toString())).toUtf8());
    }
}

BlockAddress addressOf(const QString &table, const BlockRow &row)
{
    return {table, row[ColFileName].toString(), qint16(row[ColDialogueId].toInt())};
}

QString rowBlock(const BlockRow &row)
{
    return row[ColFileName].toString() + u'\x1f' + row[ColDialogueId].toString();
}

// A whole-table write names no single save to repeat: the command is.
Failure batchConflict(const BlockAddress &address, const QString &by, const QString &at, qint64 now, qint64 read)
{
    return {u"Conflict: %1 changed block %2 of %3 at %4 (now version %5, read at version %6); nothing was saved. "
            "Run the command again."_s.arg(by, QString::number(address.number), address.fileName, at,
                                           QString::number(now), QString::number(read)),
            VersionCheck::ConflictState};
}

Failure goneConflict(const QString &table)
{
    return {u"Conflict: blocks of %1 were added or taken out on the server meanwhile; nothing was saved. Run the "
            "command again."_s.arg(table),
            VersionCheck::ConflictState};
}

// What the editor showed of a row: the translation only while it is marked.
QString shownTranslation(const BlockRow &row)
{
    return row[ColTranslated].toLongLong() == 1 ? row[ColTextDataT].toString() : QString();
}

bool sameShown(const BlockRow &a, const BlockRow &b)
{
    return shownTranslation(a) == shownTranslation(b) && a[ColComments].toString() == b[ColComments].toString()
        && a[ColRevised].toLongLong() == b[ColRevised].toLongLong();
}

void appendHistory(QByteArray &data, const QString &table, const StoredRow &was)
{
    appendCopyField(data, table.toUtf8());
    data += '\t';
    appendText(data, was.row[ColFileName]);
    data += '\t' + QByteArray::number(was.row[ColDialogueId].toLongLong()) + '\t' + QByteArray::number(was.version)
        + '\t';
    appendCopyField(data, shownTranslation(was.row).toUtf8());
    data += '\t';
    appendText(data, was.row[ColComments]);
    data += '\t' + QByteArray(was.row[ColRevised].toLongLong() == 1 ? "1" : "0") + '\t';
    appendCopyField(data, was.updatedBy.toUtf8());
    data += '\n';
}

void appendAnnouncement(QByteArray &data, const QString &table, const BlockRow &row, qint64 version)
{
    appendCopyField(data, table.toUtf8());
    data += '\t';
    appendText(data, row[ColFileName]);
    data += '\t' + QByteArray::number(row[ColDialogueId].toLongLong()) + '\t' + QByteArray::number(version) + '\n';
}

const char *const HistoryCopy =
    "COPY block_history (block_table, file_name, dialogue_id, version, translation, comment, revised, written_by) "
    "FROM STDIN";
const char *const ChangeCopy = "COPY block_change (block_table, file_name, dialogue_id, version) FROM STDIN";

} // namespace

Result<std::vector<StoredRow>> ServerStore::storedRows(const QString &table)
{
    const auto name = tableName(table);
    if (!name)
        return unknownTable(table);
    const QByteArray sql = "SELECT " + ScriptColumns + ", row_id, version, updated_by, " + ShownTime + " FROM "
        + *name + " ORDER BY row_id";
    Result<ServerRows> rows = m_server.run(sql.constData());
    if (!rows)
        return rows.error();
    std::vector<StoredRow> out;
    out.reserve(size_t(rows->rowCount()));
    for (int row = 0; row < rows->rowCount(); ++row)
        out.push_back({rows->number(row, 11), rows->number(row, 12), rows->text(row, 13), rows->text(row, 14),
                       blockRowOf(*rows, row)});
    return out;
}

Result<qint64> ServerStore::writeChange(const StoreChange &change)
{
    return m_server.transaction<qint64>([&]() -> Result<qint64> {
        Result<ServerRows> user = m_server.run("SELECT session_user");
        if (!user)
            return user.error();
        qint64 written = 0;
        for (const TableChange &table : change.tables) {
            Result<qint64> done = table.replaced ? writeReplaced(table, user->text(0, 0).toUtf8())
                                                 : writeInPlace(table);
            if (!done)
                return done.error();
            written += *done;
        }
        if (Result<Done> links = writeLinks(change); !links)
            return links.error();
        if (Result<Done> kept = writeOriginalUpdate(change); !kept)
            return kept.error();
        return written;
    });
}

Result<qint64> ServerStore::writeInPlace(const TableChange &table)
{
    const auto name = tableName(table.table);
    if (!name)
        return unknownTable(table.table);
    QByteArray data;
    // The server checks a role's right to every column a statement sets, so
    // the original's columns and the Revised mark are set only when the batch
    // changed them: a translator's Replace or fit must not need a lead's rights.
    bool originals = false;
    bool revisedMarks = false;
    for (const auto &[index, row] : table.changed) {
        const StoredRow &was = table.before[index];
        for (const int column : {ColTextData, ColWidth, ColHeight})
            originals = originals || !sameBlockValue(was.row, row, column);
        revisedMarks = revisedMarks || !sameBlockValue(was.row, row, ColRevised);
        data += QByteArray::number(was.id) + '\t' + QByteArray::number(was.version);
        appendColumns(data, row, ColTextData);
        appendFolded(data, row);
        data += '\n';
    }
    for (const char *statement :
         {"DROP TABLE IF EXISTS block_batch",
          "CREATE TEMP TABLE block_batch (row_id bigint PRIMARY KEY, base_version bigint, text_data text, "
          "width integer, height integer, comments text, translated smallint, revised smallint, text_data_t text, "
          "new_width integer, new_height integer, text_data_folded text, text_data_t_folded text, "
          "comments_folded text) ON COMMIT DROP"}) {
        if (Result<ServerRows> made = m_server.run(statement); !made)
            return made.error();
    }
    if (Result<Done> copied = m_server.copyIn("COPY block_batch FROM STDIN", data); !copied)
        return copied.error();
    // Locked first: the versions read next are the ones the UPDATE replaces.
    const QByteArray lock = "SELECT t.row_id FROM " + *name
        + " t JOIN block_batch b ON t.row_id = b.row_id ORDER BY t.row_id FOR UPDATE OF t";
    if (Result<ServerRows> locked = m_server.run(lock.constData()); !locked)
        return locked.error();
    const QByteArray check = "SELECT b.row_id, t.version, b.base_version, t.updated_by, "
        + QByteArray(ShownTime).replace("updated_at", "t.updated_at") + " FROM block_batch b LEFT JOIN " + *name
        + " t ON t.row_id = b.row_id WHERE t.row_id IS NULL OR t.version <> b.base_version ORDER BY b.row_id LIMIT 1";
    Result<ServerRows> moved = m_server.run(check.constData());
    if (!moved)
        return moved.error();
    if (moved->rowCount() > 0) {
        if (moved->isNull(0, 1))
            return goneConflict(table.table);
        for (const StoredRow &was : table.before) {
            if (was.id == moved->number(0, 0))
                return batchConflict(addressOf(table.table, was.row), moved->text(0, 3), moved->text(0, 4),
                                     moved->number(0, 1), moved->number(0, 2));
        }
    }
    const QByteArray shownBefore = "CASE WHEN t.translated = 1 THEN t.text_data_t ELSE '' END";
    // A block whose translator's fields change is saved, as a save in the
    // editor is: its earlier values are kept and its "original changed"
    // mark closes, as the local store's block save closes it.
    const QByteArray keep = "WITH kept AS (INSERT INTO block_history (block_table, file_name, dialogue_id, version, "
                            "translation, comment, revised, written_by) SELECT $1, t.file_name, t.dialogue_id, "
                            "t.version, "
        + shownBefore + ", t.comments, coalesce(t.revised, 0), t.updated_by FROM " + *name
        + " t JOIN block_batch b ON t.row_id = b.row_id WHERE " + shownBefore
        + " <> CASE WHEN b.translated = 1 THEN b.text_data_t ELSE '' END OR t.comments <> b.comments "
          "OR coalesce(t.revised, 0) <> coalesce(b.revised, 0) RETURNING file_name, dialogue_id) "
          "UPDATE original_change o SET open = 0 FROM kept k WHERE o.open = 1 AND o.block_table = $1 "
          "AND o.file_name = k.file_name AND o.dialogue_id = k.dialogue_id";
    if (Result<ServerRows> kept = m_server.run(keep.constData(), {parameter(table.table)}); !kept)
        return kept.error();
    QByteArray set = "comments = b.comments, translated = b.translated, text_data_t = b.text_data_t, "
                     "new_width = b.new_width, new_height = b.new_height, text_data_t_folded = b.text_data_t_folded, "
                     "comments_folded = b.comments_folded, ";
    if (originals)
        set += "text_data = b.text_data, width = b.width, height = b.height, text_data_folded = b.text_data_folded, ";
    if (revisedMarks)
        set += "revised = b.revised, ";
    const QByteArray update = "WITH changed AS (UPDATE " + *name + " t SET " + set
        + "version = t.version + 1, updated_by = session_user, updated_at = now() FROM block_batch b "
          "WHERE t.row_id = b.row_id RETURNING t.file_name, t.dialogue_id, t.version) "
          "INSERT INTO block_change (block_table, file_name, dialogue_id, version) "
          "SELECT $1, file_name, dialogue_id, version FROM changed";
    Result<ServerRows> updated = m_server.run(update.constData(), {parameter(table.table)});
    if (!updated)
        return updated.error();
    return updated->affected();
}

Result<qint64> ServerStore::writeReplaced(const TableChange &table, const QByteArray &user)
{
    const auto name = tableName(table.table);
    if (!name)
        return unknownTable(table.table);
    // Readers go on; another writer waits until this is committed.
    const QByteArray lock = "LOCK TABLE " + *name + " IN EXCLUSIVE MODE";
    if (Result<ServerRows> locked = m_server.run(lock.constData()); !locked)
        return locked.error();
    const QByteArray read = "SELECT row_id, version, updated_by, " + ShownTime + " FROM " + *name + " ORDER BY row_id";
    Result<ServerRows> now = m_server.run(read.constData());
    if (!now)
        return now.error();
    if (size_t(now->rowCount()) != table.before.size())
        return goneConflict(table.table);
    for (int row = 0; row < now->rowCount(); ++row) {
        const StoredRow &was = table.before[size_t(row)];
        if (now->number(row, 0) != was.id)
            return goneConflict(table.table);
        if (now->number(row, 1) != was.version)
            return batchConflict(addressOf(table.table, was.row), now->text(row, 2), now->text(row, 3),
                                 now->number(row, 1), was.version);
    }

    // Each new row takes the place of the first unclaimed old row of its
    // block: a row whose values stayed keeps its version and author.
    QHash<QString, QList<size_t>> byBlock;
    for (size_t index = 0; index < table.before.size(); ++index)
        byBlock[rowBlock(table.before[index].row)].append(index);
    std::vector<bool> claimed(table.before.size(), false);
    QByteArray rows;
    QByteArray history;
    QByteArray announced;
    for (const BlockRow &row : *table.replaced) {
        QList<size_t> &candidates = byBlock[rowBlock(row)];
        // No old row is the block's first appearance.
        const size_t none = table.before.size();
        const size_t match = candidates.isEmpty() ? none : candidates.takeFirst();
        appendText(rows, row[ColFileName]);
        appendColumns(rows, row, ColDialogueId);
        rows += '\t';
        if (match != none && sameBlockRow(table.before[match].row, row)) {
            const StoredRow &was = table.before[match];
            rows += QByteArray::number(was.version) + '\t';
            appendCopyField(rows, was.updatedBy.toUtf8());
            rows += '\t' + was.updatedAt.toUtf8();
        } else {
            const qint64 version = match != none ? table.before[match].version + 1 : 1;
            rows += QByteArray::number(version) + '\t';
            appendCopyField(rows, user);
            rows += "\tnow";
            if (match != none && !sameShown(table.before[match].row, row))
                appendHistory(history, table.table, table.before[match]);
            // A block nobody could have opened before needs no announcement.
            if (match != none || !table.before.empty())
                appendAnnouncement(announced, table.table, row, version);
        }
        if (match != none)
            claimed[match] = true;
        appendFolded(rows, row);
        rows += '\n';
    }
    // A block taken away leaves its last values in its history: nothing typed is lost.
    for (size_t index = 0; index < table.before.size(); ++index) {
        const StoredRow &was = table.before[index];
        if (claimed[index])
            continue;
        if (!shownTranslation(was.row).isEmpty() || !was.row[ColComments].toString().isEmpty())
            appendHistory(history, table.table, was);
        appendAnnouncement(announced, table.table, was.row, was.version + 1);
    }

    const QByteArray empty = "DELETE FROM " + *name;
    if (Result<ServerRows> emptied = m_server.run(empty.constData()); !emptied)
        return emptied.error();
    const QByteArray copy = "COPY " + *name + " (" + ScriptColumns
        + ", version, updated_by, updated_at, text_data_folded, text_data_t_folded, comments_folded) FROM STDIN";
    if (Result<Done> copied = m_server.copyIn(copy.constData(), rows); !copied)
        return Failure{u"The blocks of %1 could not be stored on the server: %2"_s.arg(table.table,
                                                                                      copied.error().message),
                       copied.error().sqlState};
    if (!history.isEmpty()) {
        if (Result<Done> kept = m_server.copyIn(HistoryCopy, history); !kept)
            return kept.error();
    }
    if (!announced.isEmpty()) {
        if (Result<Done> told = m_server.copyIn(ChangeCopy, announced); !told)
            return told.error();
    }
    return qint64(table.replaced->size());
}

Result<Done> ServerStore::writeLinks(const StoreChange &change)
{
    ++m_linksMark;
    if (!change.linksBefore)
        return Done{};
    if (Result<ServerRows> locked = m_server.run("LOCK TABLE suggestion IN EXCLUSIVE MODE"); !locked)
        return locked.error();
    Result<std::vector<LinkColumns>> now = links();
    if (!now)
        return now.error();
    if (*now != *change.linksBefore)
        return Failure{u"Conflict: the word links were changed on the server meanwhile; nothing was saved. Run the "
                       "command again."_s,
                       VersionCheck::ConflictState};
    if (Result<ServerRows> emptied = m_server.run("DELETE FROM suggestion"); !emptied)
        return emptied.error();
    if (Result<qint64> copied = importLinks(change.linksAfter); !copied)
        return copied.error();
    return Done{};
}

Result<Done> ServerStore::writeOriginalUpdate(const StoreChange &change)
{
    const auto addressFields = [](QByteArray &data, const BlockAddress &a) {
        appendCopyField(data, a.table.toUtf8());
        data += '\t';
        appendCopyField(data, a.fileName.toUtf8());
        data += '\t' + QByteArray::number(a.number) + '\t';
    };
    if (!change.originalChanges.empty()) {
        QByteArray data;
        for (const OriginalChange &mark : change.originalChanges) {
            addressFields(data, mark.address);
            appendCopyField(data, mark.oldOriginal.toUtf8());
            data += '\t';
            appendCopyField(data, mark.newOriginal.toUtf8());
            data += "\t1\n";
        }
        if (Result<Done> copied = m_server.copyIn("COPY original_change (block_table, file_name, dialogue_id, "
                                                  "old_original, new_original, open) FROM STDIN",
                                                  data);
            !copied)
            return copied.error();
        // A newer update closes the marks an older one left on the block.
        if (Result<ServerRows> closed = m_server.run(
                "UPDATE original_change o SET open = 0 WHERE open = 1 AND EXISTS (SELECT FROM original_change n "
                "WHERE n.block_table = o.block_table AND n.file_name = o.file_name "
                "AND n.dialogue_id = o.dialogue_id AND n.id > o.id)");
            !closed)
            return closed.error();
    }
    if (change.removedBlocks.empty())
        return Done{};
    QByteArray data;
    for (const RemovedBlock &block : change.removedBlocks) {
        addressFields(data, block.address);
        appendCopyField(data, block.textData.toUtf8());
        data += '\t' + QByteArray::number(block.width) + '\t' + QByteArray::number(block.height) + '\t';
        appendCopyField(data, block.comments.toUtf8());
        data += QByteArray("\t") + (block.translated ? "1" : "0") + '\t' + (block.revised ? "1" : "0") + '\t';
        appendCopyField(data, block.textDataT.toUtf8());
        data += '\t' + QByteArray::number(block.newWidth) + '\t' + QByteArray::number(block.newHeight) + '\n';
    }
    return m_server.copyIn("COPY removed_block (block_table, file_name, dialogue_id, text_data, width, height, "
                           "comments, translated, revised, text_data_t, new_width, new_height) FROM STDIN",
                           data);
}

std::optional<QString> ServerStore::changedOriginal(const BlockAddress &address, const QString &current)
{
    Result<ServerRows> rows = m_server.run(
        "SELECT old_original, new_original FROM original_change WHERE block_table = $1 AND file_name = $2 "
        "AND dialogue_id = $3 AND open = 1 ORDER BY id DESC LIMIT 1",
        {parameter(address.table), parameter(address.fileName), QByteArray::number(address.number)});
    if (!rows || rows->rowCount() == 0 || rows->text(0, 1) != current)
        return std::nullopt;
    return rows->text(0, 0);
}

Result<QHash<QString, OriginalChange>> ServerStore::changedOriginals()
{
    Result<ServerRows> rows = m_server.run("SELECT block_table, file_name, dialogue_id, old_original, new_original "
                                           "FROM original_change WHERE open = 1 ORDER BY id");
    if (!rows)
        return rows.error();
    QHash<QString, OriginalChange> marks;
    for (int row = 0; row < rows->rowCount(); ++row) {
        const BlockAddress address{rows->text(row, 0), rows->text(row, 1), qint16(rows->number(row, 2))};
        marks.insert(blockKey(address.table, address.fileName, address.number),
                     {address, rows->text(row, 3), rows->text(row, 4)});
    }
    return marks;
}

Result<std::vector<RemovedBlock>> ServerStore::readRemoved(const char *where, const QList<QByteArray> &parameters)
{
    const QByteArray sql = "SELECT id, (extract(epoch FROM removed_at) * 1000)::bigint, block_table, file_name, "
                           "dialogue_id, text_data, width, height, comments, translated, revised, text_data_t, "
                           "new_width, new_height FROM removed_block WHERE restored = 0 "
        + QByteArray(where) + " ORDER BY id DESC";
    Result<ServerRows> rows = m_server.run(sql.constData(), parameters);
    if (!rows)
        return rows.error();
    std::vector<RemovedBlock> blocks;
    for (int row = 0; row < rows->rowCount(); ++row) {
        RemovedBlock block;
        block.id = rows->number(row, 0);
        block.time = QDateTime::fromMSecsSinceEpoch(rows->number(row, 1));
        block.address = {rows->text(row, 2), rows->text(row, 3), qint16(rows->number(row, 4))};
        block.textData = rows->text(row, 5);
        block.width = rows->number(row, 6);
        block.height = rows->number(row, 7);
        block.comments = rows->text(row, 8);
        block.translated = rows->number(row, 9) == 1;
        block.revised = rows->number(row, 10) == 1;
        block.textDataT = rows->text(row, 11);
        block.newWidth = rows->number(row, 12);
        block.newHeight = rows->number(row, 13);
        blocks.push_back(std::move(block));
    }
    return blocks;
}

Result<std::vector<RemovedBlock>> ServerStore::removedBlocks()
{
    return readRemoved("", {});
}

Result<Done> ServerStore::restoreRemovedBlock(qint64 id)
{
    Result<std::vector<RemovedBlock>> waiting = readRemoved("AND id = $1", {QByteArray::number(id)});
    if (!waiting)
        return waiting.error();
    if (waiting->empty())
        return Failure{u"No removed block %1 is waiting to be restored."_s.arg(id), {}};
    const RemovedBlock &block = waiting->front();
    const BlockAddress &a = block.address;
    if (!ScriptTables::contains(a.table))
        return Failure{u"Removed block %1 names no script table (%2)."_s.arg(QString::number(id), a.table), {}};
    Result<std::vector<StoredRow>> rows = storedRows(a.table);
    if (!rows)
        return rows.error();
    // The script's rows go after the table's others, in block order: a row
    // added at the end alone would part them.
    std::vector<BlockRow> others;
    std::multimap<qint64, BlockRow> script;
    for (const StoredRow &stored : *rows) {
        if (stored.row[ColFileName].toString() != a.fileName) {
            others.push_back(stored.row);
            continue;
        }
        if (stored.row[ColDialogueId].toLongLong() == a.number)
            return Failure{u"Block %1 of %2 is in the store again; the removed one is kept as it is."_s.arg(
                               QString::number(a.number), a.fileName),
                           {}};
        script.emplace(stored.row[ColDialogueId].toLongLong(), stored.row);
    }
    script.emplace(a.number, BlockRow{a.fileName, qlonglong(a.number), block.textData, block.width, block.height,
                                      block.comments, qlonglong(block.translated), qlonglong(block.revised),
                                      block.textDataT, block.newWidth, block.newHeight});
    for (const auto &[number, row] : script)
        others.push_back(row);
    StoreChange change;
    change.tables.push_back({a.table, std::move(*rows), {}, std::move(others)});
    if (Result<qint64> written = writeChange(change); !written)
        return written.error();
    // The block is back in the store; should the mark fail, it is only offered again.
    static_cast<void>(m_server.run("UPDATE removed_block SET restored = 1 WHERE id = $1", {QByteArray::number(id)}));
    return Done{};
}
