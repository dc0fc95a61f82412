#include "server/serverstore.h"

#include "server/schema.h"
#include "store/layout.h"
#include "store/storetext.h"
#include "store/unicodelike.h"

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
// text, and so does the server, which keeps no NULL text.
void appendText(QByteArray &line, const QVariant &value)
{
    appendCopyField(line, value.toString().toUtf8());
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
    for (const SearchStatement &statement : searchStatements(type, input.pattern)) {
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
        appendCopyField(data, unicodeLikeFolded(row[ColTextData].toString()).toUtf8());
        data += '\t';
        appendCopyField(data, unicodeLikeFolded(row[ColTextDataT].toString()).toUtf8());
        data += '\t';
        appendCopyField(data, unicodeLikeFolded(row[ColComments].toString()).toUtf8());
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
    QByteArray data;
    for (const LinkColumns &row : rows) {
        for (size_t column = 0; column < row.size(); ++column) {
            appendCopyField(data, row[column].toUtf8());
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
    if (Result<ServerRows> saved = m_server.run(statement, values); !saved)
        return Failure{u"The link to \"%1\" could not be saved. %2"_s.arg(word, saved.error().message),
                       saved.error().sqlState};
    return Done{};
}

Result<Done> ServerStore::eraseLink(const QString &word)
{
    if (Result<ServerRows> erased = m_server.run("DELETE FROM suggestion WHERE word = $1", {parameter(toStoreText(word))});
        !erased)
        return Failure{u"The links to \"%1\" could not be erased. %2"_s.arg(word, erased.error().message),
                       erased.error().sqlState};
    return Done{};
}
