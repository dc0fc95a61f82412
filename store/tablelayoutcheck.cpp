#include "store/tablelayoutcheck.h"

#include "store/layout.h"
#include "store/sqlitehandle.h"
#include "store/storetext.h"

#include <QStringList>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

struct Finalizer
{
    void operator()(sqlite3_stmt *s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Finalizer>;

Statement prepare(sqlite3 *db, const QString &sql)
{
    sqlite3_stmt *s = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &s, nullptr) != SQLITE_OK)
        return nullptr;
    return Statement(s);
}

} // namespace

QString layoutProblem(sqlite3 *db)
{
    const Statement tables = prepare(db, u"SELECT count(*) FROM sqlite_schema WHERE type = 'table'"_s);
    if (!tables)
        return QString::fromUtf8(sqlite3_errmsg(db));
    if (sqlite3_step(tables.get()) != SQLITE_ROW || sqlite3_column_int(tables.get(), 0) == 0)
        return u"the file holds no tables; it is not a store made by the program"_s;

    const QStringList scriptColumns = {u"file_name"_s, u"dialogue_id"_s, u"text_data"_s,   u"width"_s,
                                       u"height"_s,    u"comments"_s,    u"translated"_s,  u"revised"_s,
                                       u"text_data_t"_s, u"new_width"_s, u"new_height"_s};
    const QStringList linkColumns = {u"word"_s,     u"suggest1"_s, u"suggest2"_s, u"suggest3"_s,
                                     u"suggest4"_s, u"suggest5"_s, u"comment"_s};
    std::vector<std::pair<QString, QStringList>> expected;
    for (const QString &table : ScriptTables::all)
        expected.emplace_back(table, scriptColumns);
    expected.emplace_back(u"suggestion"_s, linkColumns);
    for (const auto &[table, columns] : expected) {
        // Compiling a statement reads the column names without running it.
        const Statement select = prepare(db, u"SELECT * FROM "_s + table);
        if (!select)
            continue;
        QStringList found;
        for (int i = 0; i < sqlite3_column_count(select.get()); ++i)
            found += QString::fromUtf8(sqlite3_column_name(select.get(), i)).toLower();
        if (found != columns)
            return u"the table %1 has the columns %2, where %3 are expected in this order"_s.arg(
                table, found.join(u", "_s), columns.join(u", "_s));
    }
    return {};
}

QStringList missingStoreTables(sqlite3 *db)
{
    QStringList missing;
    for (const QString &table : {ScriptTables::battlingArena, ScriptTables::battleScript, ScriptTables::field,
                                 u"suggestion"_s}) {
        if (firstValue(db, u"SELECT COUNT(*) FROM sqlite_schema WHERE type = 'table' AND name = "_s + storeLiteral(table))
            != u"1")
            missing << table;
    }
    return missing;
}
