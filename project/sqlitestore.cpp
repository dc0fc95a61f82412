#include "project/sqlitestore.h"

#include "search/logging.h"
#include "scripts/scriptview.h"
#include "search/search.h"
#include "store/layout.h"
#include "store/linkrows.h"
#include "store/storetext.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString numberLiteral(const QVariant &value)
{
    return value.isNull() ? u"NULL"_s : QString::number(value.toLongLong());
}

const QString BlockColumns =
    u"(file_name,dialogue_id,text_data,width,height,comments,translated,revised,text_data_t,new_width,new_height)"_s;

QString blockValues(const BlockRow &row)
{
    return u'(' + storeLiteral(row[ColFileName].toString()) + u',' + numberLiteral(row[ColDialogueId]) + u','
        + storeLiteral(row[ColTextData].toString()) + u',' + numberLiteral(row[ColWidth]) + u','
        + numberLiteral(row[ColHeight]) + u',' + storeLiteral(row[ColComments].toString()) + u','
        + numberLiteral(row[ColTranslated]) + u',' + numberLiteral(row[ColRevised]) + u','
        + storeLiteral(row[ColTextDataT].toString()) + u',' + numberLiteral(row[ColNewWidth]) + u','
        + numberLiteral(row[ColNewHeight]) + u')';
}

QString blockInsert(const QString &table, const BlockRow &row)
{
    return u"INSERT INTO "_s + table + BlockColumns + u" VALUES "_s + blockValues(row);
}

QString linkInsert(const LinkColumns &row)
{
    QString values;
    for (const QString &text : row)
        values += (values.isEmpty() ? QString() : u","_s) + storeLiteral(text);
    return u"INSERT INTO suggestion (word,suggest1,suggest2,suggest3,suggest4,suggest5,comment) VALUES ("_s + values
        + u')';
}

// The search's statements: the pattern inside LIKE's percent signs as a
// store literal. The battling_arena statement of the original and comment
// searches has always ended without a semicolon; the engine takes it either
// way.
QString searchStatement(const SearchStep &step, const QString &pattern)
{
    const QString like = storeLiteral(u'%' + pattern + u'%');
    if (step.textColumn == ColTextDataT)
        return u"SELECT * FROM "_s + step.table + u" WHERE text_data_t LIKE "_s + like + u" AND translated = 1;"_s;
    const QString column = step.textColumn == ColComments ? u"comments"_s : u"text_data"_s;
    return u"SELECT * FROM "_s + step.table + u" WHERE "_s + column + u" LIKE "_s + like
        + (step.table == ScriptTables::battlingArena ? QString() : u";"_s);
}

QString figureStatement(const QString &table, const QString &script)
{
    const QString onlyScript = script.isEmpty() ? QString() : u" WHERE file_name = "_s + storeLiteral(script);
    return u"SELECT file_name, text_data, translated, revised FROM "_s + table + onlyScript;
}

// Every column of each row, in the layout's order.
Result<std::vector<BlockRow>> rowsOf(Result<ResultSet> rows)
{
    if (!rows)
        return rows.error();
    std::vector<BlockRow> out;
    while (rows->next()) {
        BlockRow &row = out.emplace_back();
        for (int column = 0; column < int(row.size()); ++column)
            row[size_t(column)] = rows->value(column);
    }
    return out;
}

} // namespace

SearchOutcome searchBlocks(Database &db, SearchType type, const QString &typed)
{
    SearchOutcome outcome;
    const SearchInput input = prepareSearchText(typed);
    if (!input.accepted()) {
        outcome.status = SearchOutcome::Refused;
        outcome.message = input.problem;
        return outcome;
    }
    for (const SearchStep &step : searchSteps(type)) {
        Result<ResultSet> rows = db.query(searchStatement(step, input.pattern));
        if (!rows.ok()) {
            qCWarning(lcSearch) << "search statement failed:" << rows.error().message;
            outcome.status = SearchOutcome::Failed;
            outcome.message = rows.error().message;
            return outcome;
        }
        while (rows->next()) {
            outcome.hits.append({rows->text(ColDialogueId).trimmed(), rows->text(ColFileName), step.table,
                                 rows->text(step.textColumn)});
        }
        rows->close();
    }
    outcome.message = SearchMessages::finished;
    return outcome;
}

SqliteStore::SqliteStore(Database &db)
    : m_db(db)
{
}

SqliteStore::SqliteStore(std::unique_ptr<Database> owned)
    : m_owned(std::move(owned))
    , m_db(*m_owned)
{
}

Result<std::unique_ptr<SqliteStore>> SqliteStore::open(const QString &path)
{
    auto db = std::make_unique<Database>();
    if (const Result<Done> opened = openStore(*db, path); !opened)
        return opened.error();
    return std::unique_ptr<SqliteStore>(new SqliteStore(std::move(db)));
}

Result<BlockRead> SqliteStore::loadBlock(const QString &key)
{
    return BlockRead{::loadBlock(m_db, key), std::nullopt, {}, {}};
}

Result<BlockSave> SqliteStore::saveBlock(const QString &key, const QString &nodeText, const BlockEdits &edits,
                                         const BlockSnapshot *known)
{
    Result<BlockSave> save = ::saveBlock(m_db, key, nodeText, edits, known);
    if (!save)
        return Failure{save.error().message, {}};
    return save;
}

// The tree's own statements: every column of each table, in table order.
Result<TreeTables> SqliteStore::treeRows()
{
    TreeTables tables;
    for (size_t t = 0; t < ScriptTables::all.size(); ++t) {
        Result<ResultSet> rows = m_db.query(u"Select * from "_s + ScriptTables::all[t]);
        if (!rows)
            return rows.error();
        std::vector<ScriptNodes::Row> &out = tables[t];
        out.reserve(size_t(rows->rowCount()));
        while (rows->next()) {
            out.push_back({rows->text(ColFileName), rows->text(ColDialogueId), !rows->text(ColComments).isEmpty(),
                           rows->value(ColTranslated).toBool(), rows->value(ColRevised).toBool()});
        }
    }
    return tables;
}

Result<TranslationCount> SqliteStore::countBlocks()
{
    return translationPercent(m_db);
}

// A failing statement is a Failed outcome with the hits found so far, as the
// search window has always shown it.
Result<SearchOutcome> SqliteStore::search(SearchType type, const QString &typed)
{
    if (const Result<Done> like = m_db.useUnicodeLike(); !like)
        return like.error();
    return searchBlocks(m_db, type, typed);
}

Result<qint64> SqliteStore::runInserts(const QStringList &statements)
{
    const bool own = !m_db.inTransaction();
    if (own) {
        if (const Result<Done> begun = m_db.begin(); !begun)
            return begun.error();
    }
    for (const QString &statement : statements) {
        if (const Result<QVariant> ran = m_db.execute(statement); !ran) {
            if (own)
                m_db.abandon();
            return ran.error();
        }
    }
    if (own) {
        if (const Result<Done> committed = m_db.commit(); !committed)
            return committed.error();
    }
    return qint64(statements.size());
}

Result<qint64> SqliteStore::importBlocks(const QString &table, const std::vector<BlockRow> &rows)
{
    if (!ScriptTables::contains(table))
        return Failure{u"There is no script table %1; use battling_arena, battle_script or field."_s.arg(table), {}};
    // Many rows to a statement: a copy of a whole server's store, made for
    // every command run on a server, compiles 200 times fewer statements.
    constexpr size_t RowsPerStatement = 200;
    QStringList statements;
    for (size_t first = 0; first < rows.size(); first += RowsPerStatement) {
        QString statement = u"INSERT INTO "_s + table + BlockColumns + u" VALUES "_s;
        for (size_t row = first; row < std::min(rows.size(), first + RowsPerStatement); ++row)
            statement += (row == first ? QString() : u","_s) + blockValues(rows[row]);
        statements << statement;
    }
    if (Result<qint64> done = runInserts(statements); !done)
        return done.error();
    return qint64(rows.size());
}

Result<std::vector<BlockRow>> SqliteStore::blockRows(const QString &table)
{
    if (!ScriptTables::contains(table))
        return Failure{u"There is no script table %1; use battling_arena, battle_script or field."_s.arg(table), {}};
    Result<ResultSet> rows = m_db.query(u"SELECT * FROM "_s + table);
    if (!rows)
        return rows.error();
    std::vector<BlockRow> out;
    out.reserve(size_t(rows->rowCount()));
    while (rows->next()) {
        BlockRow &row = out.emplace_back();
        for (int column = 0; column < int(row.size()); ++column)
            row[size_t(column)] = rows->value(column);
    }
    return out;
}

Result<qint64> SqliteStore::importLinks(const std::vector<LinkColumns> &rows)
{
    QStringList statements;
    for (const LinkColumns &row : rows)
        statements << linkInsert(row);
    return runInserts(statements);
}

Result<std::vector<BlockRow>> SqliteStore::scriptRows(const QString &table, const QString &fileName)
{
    if (!ScriptTables::contains(table))
        return Failure{u"There is no script table %1; use battling_arena, battle_script or field."_s.arg(table), {}};
    if (fileName.isEmpty())
        return std::vector<BlockRow>{}; // no script of that name; folderRows would give the whole folder
    return rowsOf(folderRows(m_db, table, fileName));
}

Result<std::vector<BlockRow>> SqliteStore::blocksAround(const BlockAddress &block, Around side, int count)
{
    if (!ScriptTables::contains(block.table))
        return Failure{u"%1 is not a script folder."_s.arg(block.table), {}};
    return rowsOf(rowsAround(m_db, block, side, count));
}

Result<std::vector<LinkColumns>> SqliteStore::links()
{
    return readLinkRows(m_db);
}

Result<Done> SqliteStore::saveLink(const QString &word, const std::array<QString, 6> &fields, bool modify)
{
    return writeLink(m_db, word, fields, modify);
}

Result<Done> SqliteStore::eraseLink(const QString &word)
{
    return eraseLinkRows(m_db, word);
}

Result<std::vector<LinkColumns>> SqliteStore::linksOf(const QString &word)
{
    return linkRowsOf(m_db, word);
}

Result<QStringList> SqliteStore::linkWords()
{
    Result<ResultSet> rows = m_db.query(u"SELECT word FROM suggestion"_s);
    if (!rows)
        return rows.error();
    QStringList words;
    words.reserve(rows->rowCount());
    while (rows->next())
        words.append(rows->text(0));
    rows->close();
    return words;
}

// The file's data version: it moves with every commit, this connection's or another's.
qint64 SqliteStore::linksMark()
{
    return m_db.dataVersion();
}

Result<std::vector<FigureRow>> SqliteStore::figureRows(const QString &table, const QString &script)
{
    Result<ResultSet> rows = m_db.query(figureStatement(table, script));
    if (!rows)
        return rows.error();
    std::vector<FigureRow> out;
    out.reserve(size_t(rows->rowCount()));
    while (rows->next()) {
        out.push_back({rows->text(0), rows->text(1), rows->value(2).toLongLong() == 1,
                       rows->value(3).toLongLong() == 1});
    }
    return out;
}

Result<std::vector<TranslatedRow>> SqliteStore::translatedRows(const QString &table)
{
    Result<ResultSet> rows = m_db.query(u"SELECT file_name, dialogue_id, text_data, text_data_t FROM "_s + table
                                        + u" WHERE text_data_t <> ''"_s);
    if (!rows)
        return rows.error();
    std::vector<TranslatedRow> out;
    while (rows->next())
        out.push_back({rows->text(0), rows->value(1).toLongLong(), rows->text(2), rows->text(3)});
    return out;
}

Result<std::vector<StoredRow>> SqliteStore::storedRows(const QString &table)
{
    if (!ScriptTables::contains(table))
        return Failure{u"There is no script table %1; use battling_arena, battle_script or field."_s.arg(table), {}};
    Result<ResultSet> rows = m_db.query(u"SELECT rowid, * FROM "_s + table);
    if (!rows)
        return Failure{u"The local store's %1 could not be read: %2"_s.arg(table, rows.error().message), {}};
    std::vector<StoredRow> out;
    out.reserve(size_t(rows->rowCount()));
    while (rows->next()) {
        StoredRow &stored = out.emplace_back();
        stored.id = rows->value(0).toLongLong();
        for (int column = 0; column < int(stored.row.size()); ++column)
            stored.row[size_t(column)] = rows->value(column + 1);
    }
    return out;
}

// One file, one writer at a time: no versions to check.
Result<qint64> SqliteStore::writeChange(const StoreChange &change)
{
    QStringList statements;
    qint64 written = 0;
    for (const TableChange &table : change.tables) {
        if (!ScriptTables::contains(table.table))
            return Failure{u"There is no script table %1; use battling_arena, battle_script or field."_s.arg(
                               table.table),
                           {}};
        if (table.replaced) {
            statements << u"DELETE FROM "_s + table.table;
            for (const BlockRow &row : *table.replaced)
                statements << blockInsert(table.table, row);
            written += qint64(table.replaced->size());
            continue;
        }
        for (const auto &[index, row] : table.changed) {
            statements << u"UPDATE "_s + table.table + u" SET text_data="_s + storeLiteral(row[ColTextData].toString())
                    + u",width="_s + numberLiteral(row[ColWidth]) + u",height="_s + numberLiteral(row[ColHeight])
                    + u",comments="_s + storeLiteral(row[ColComments].toString()) + u",translated="_s
                    + numberLiteral(row[ColTranslated]) + u",revised="_s + numberLiteral(row[ColRevised])
                    + u",text_data_t="_s + storeLiteral(row[ColTextDataT].toString()) + u",new_width="_s
                    + numberLiteral(row[ColNewWidth]) + u",new_height="_s + numberLiteral(row[ColNewHeight])
                    + u" WHERE rowid="_s + QString::number(table.before[index].id);
            ++written;
        }
    }
    if (change.linksBefore) {
        statements << u"DELETE FROM suggestion"_s;
        for (const LinkColumns &row : change.linksAfter)
            statements << linkInsert(row);
    }
    if (Result<qint64> done = runInserts(statements); !done)
        return done.error();
    return written;
}

std::optional<QString> SqliteStore::changedOriginal(const BlockAddress &address, const QString &current)
{
    return ::changedOriginal(m_db.path(), address, current);
}

Result<QHash<QString, OriginalChange>> SqliteStore::changedOriginals()
{
    return ::changedOriginals(m_db.path());
}

Result<std::vector<RemovedBlock>> SqliteStore::removedBlocks()
{
    return ::removedBlocks(m_db.path());
}

Result<Done> SqliteStore::restoreRemovedBlock(qint64 id)
{
    return ::restoreRemovedBlock(m_db, id);
}
