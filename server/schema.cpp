#include "server/schema.h"

#include "server/teamschema.h"
#include "store/layout.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Fixed texts only: the table names come from the program's own list.
QString scriptTable(const QString &table)
{
    const QString number = u" integer CHECK (%1 BETWEEN -32768 AND 32767)"_s;
    const QString flag = u" smallint CHECK (%1 IN (0, 1))"_s;
    const QString text = u" text NOT NULL DEFAULT ''"_s;
    return u"CREATE TABLE "_s + table + u" ("_s
        + u"file_name"_s + text + u", dialogue_id"_s + number.arg(u"dialogue_id"_s) + u", text_data"_s + text
        + u", width"_s + number.arg(u"width"_s) + u", height"_s + number.arg(u"height"_s) + u", comments"_s + text
        + u", translated"_s + flag.arg(u"translated"_s) + u", revised"_s + flag.arg(u"revised"_s)
        + u", text_data_t"_s + text + u", new_width"_s + number.arg(u"new_width"_s) + u", new_height"_s
        + number.arg(u"new_height"_s)
        // SQLite hands rows out in the order they were added; this keeps it.
        + u", row_id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY"
          ", version bigint NOT NULL DEFAULT 1, updated_by text NOT NULL DEFAULT session_user"
          ", updated_at timestamptz NOT NULL DEFAULT now()"
          ", text_data_folded"_s
        + text + u", text_data_t_folded"_s + text + u", comments_folded"_s + text + u");"_s
        + u"CREATE INDEX "_s + table + u"_block ON "_s + table + u" (file_name, dialogue_id);"_s
        + u"CREATE INDEX "_s + table + u"_translated ON "_s + table + u" (translated);"_s;
}

// The status line is counted after every save: a running count per table,
// kept by the server itself on every write whoever makes it, costs one row
// read instead of reading the indexes of every block. A statement that
// changes no translated mark leaves the count's row (and its lock) alone.
const char *const CountFunction = R"(
CREATE TABLE block_count (block_table text PRIMARY KEY, blocks bigint NOT NULL, translated bigint NOT NULL);
INSERT INTO block_count VALUES ('battling_arena', 0, 0), ('battle_script', 0, 0), ('field', 0, 0);
CREATE FUNCTION count_blocks() RETURNS trigger LANGUAGE plpgsql AS $body$
DECLARE
    added bigint := 0;
    marked bigint := 0;
    n bigint;
    t bigint;
BEGIN
    IF TG_OP = 'TRUNCATE' THEN
        UPDATE block_count SET blocks = 0, translated = 0 WHERE block_table = TG_TABLE_NAME;
        RETURN NULL;
    END IF;
    IF TG_OP IN ('UPDATE', 'DELETE') THEN
        SELECT count(*), count(*) FILTER (WHERE r.translated = 1) INTO n, t FROM old_rows r;
        added := added - n;
        marked := marked - t;
    END IF;
    IF TG_OP IN ('UPDATE', 'INSERT') THEN
        SELECT count(*), count(*) FILTER (WHERE r.translated = 1) INTO n, t FROM new_rows r;
        added := added + n;
        marked := marked + t;
    END IF;
    IF added <> 0 OR marked <> 0 THEN
        UPDATE block_count c SET blocks = c.blocks + added, translated = c.translated + marked
            WHERE c.block_table = TG_TABLE_NAME;
    END IF;
    RETURN NULL;
END
$body$;
)";

QString countTriggers(const QString &table)
{
    return u"CREATE TRIGGER %1_count_insert AFTER INSERT ON %1 REFERENCING NEW TABLE AS new_rows "
           "FOR EACH STATEMENT EXECUTE FUNCTION count_blocks();"
           "CREATE TRIGGER %1_count_update AFTER UPDATE ON %1 REFERENCING OLD TABLE AS old_rows NEW TABLE AS new_rows "
           "FOR EACH STATEMENT EXECUTE FUNCTION count_blocks();"
           "CREATE TRIGGER %1_count_delete AFTER DELETE ON %1 REFERENCING OLD TABLE AS old_rows "
           "FOR EACH STATEMENT EXECUTE FUNCTION count_blocks();"
           "CREATE TRIGGER %1_count_truncate AFTER TRUNCATE ON %1 FOR EACH STATEMENT EXECUTE FUNCTION count_blocks();"_s
        .arg(table);
}

// What updates of the originals replaced and took away, as history.db
// keeps them beside a local store: here every editor of the team sees the
// marks, and any of them can put a removed block back. Stores of the
// earlier layout lack them and get them when they are opened.
const QStringList AddedInLayout3 = {u"original_change"_s, u"removed_block"_s};
constexpr int EarlierLayout = 2;

QString addedTable(const QString &table)
{
    if (table == u"original_change")
        return u"CREATE TABLE original_change (id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY, "
               "replaced_at timestamptz NOT NULL DEFAULT now(), block_table text NOT NULL, file_name text NOT NULL, "
               "dialogue_id integer NOT NULL CHECK (dialogue_id BETWEEN -32768 AND 32767), "
               "old_original text NOT NULL, new_original text NOT NULL, open smallint NOT NULL CHECK (open IN (0, 1)));"
               "CREATE INDEX original_change_block ON original_change (block_table, file_name, dialogue_id, id);"_s;
    return u"CREATE TABLE removed_block (id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY, "
           "removed_at timestamptz NOT NULL DEFAULT now(), block_table text NOT NULL, file_name text NOT NULL, "
           "dialogue_id integer NOT NULL CHECK (dialogue_id BETWEEN -32768 AND 32767), text_data text NOT NULL, "
           "width integer NOT NULL, height integer NOT NULL, comments text NOT NULL, "
           "translated smallint NOT NULL CHECK (translated IN (0, 1)), revised smallint NOT NULL CHECK (revised IN (0, 1)), "
           "text_data_t text NOT NULL, new_width integer NOT NULL, new_height integer NOT NULL, "
           "restored smallint NOT NULL DEFAULT 0 CHECK (restored IN (0, 1)));"_s;
}

QString layoutStatements()
{
    QString sql = u"CREATE TABLE tallowpen_store (layout integer NOT NULL);"
                  "INSERT INTO tallowpen_store VALUES (%1);"_s.arg(ServerSchema::Layout);
    sql += QString::fromUtf8(CountFunction);
    for (const QString &table : ScriptTables::all)
        sql += scriptTable(table) + countTriggers(table);
    sql += u"CREATE TABLE suggestion (word text NOT NULL DEFAULT '', suggest1 text NOT NULL DEFAULT '', "
           "suggest2 text NOT NULL DEFAULT '', suggest3 text NOT NULL DEFAULT '', "
           "suggest4 text NOT NULL DEFAULT '', suggest5 text NOT NULL DEFAULT '', "
           "comment text NOT NULL DEFAULT '', row_id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY);"
           "CREATE INDEX suggestion_word ON suggestion (word);"
           "CREATE TABLE block_history (id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY, "
           "replaced_at timestamptz NOT NULL DEFAULT now(), replaced_by text NOT NULL DEFAULT session_user, "
           "block_table text NOT NULL, file_name text NOT NULL, "
           "dialogue_id integer NOT NULL CHECK (dialogue_id BETWEEN -32768 AND 32767), "
           "version bigint NOT NULL, translation text NOT NULL, comment text NOT NULL, "
           "revised smallint NOT NULL CHECK (revised IN (0, 1)));"
           "CREATE INDEX block_history_block ON block_history (block_table, file_name, dialogue_id, id);"
           "CREATE TABLE block_change (seq bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY, "
           "block_table text NOT NULL, file_name text NOT NULL, "
           "dialogue_id integer NOT NULL CHECK (dialogue_id BETWEEN -32768 AND 32767), "
           "version bigint NOT NULL, changed_by text NOT NULL DEFAULT session_user, "
           "changed_at timestamptz NOT NULL DEFAULT now());"_s;
    for (const QString &table : AddedInLayout3)
        sql += addedTable(table);
    sql += TeamSchema::statements();
    return sql;
}

} // namespace

QStringList ServerSchema::tableNames()
{
    QStringList names{u"tallowpen_store"_s};
    for (const QString &table : ScriptTables::all)
        names << table;
    names << u"suggestion"_s << u"block_history"_s << u"block_change"_s << u"block_count"_s;
    names << AddedInLayout3;
    names << TeamSchema::tableNames();
    return names;
}

Result<QStringList> ServerSchema::existingTables(ServerConnection &server)
{
    Result<ServerRows> rows = server.run(
        "SELECT CASE WHEN n.nspname = 'public' THEN c.relname ELSE n.nspname || '.' || c.relname END "
        "FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
        "WHERE c.relkind IN ('r', 'p', 'v', 'm', 'f') AND n.nspname NOT IN ('pg_catalog', 'information_schema') "
        "AND n.nspname NOT LIKE 'pg\\_toast%' AND n.nspname NOT LIKE 'pg\\_temp\\_%' ORDER BY 1");
    if (!rows)
        return rows.error();
    QStringList names;
    for (int row = 0; row < rows->rowCount(); ++row)
        names << rows->text(row, 0);
    return names;
}

Result<Done> ServerSchema::create(ServerConnection &server)
{
    Result<QStringList> tables = existingTables(server);
    if (!tables)
        return tables.error();
    if (!tables->isEmpty())
        return Failure{u"The database %1 already holds tables (%2); a store is set up only in an empty "
                           "database. Nothing was changed."_s.arg(server.where(), tables->join(u", "_s)),
                           {}};
    // Several statements in one text run as one simple query: no parameters,
    // and nothing of the user's inside.
    const QByteArray sql = layoutStatements().toUtf8();
    return server.runScript(sql.constData());
}

namespace {

// What the database holds of this program's: the tables the layout makes
// that it lacks, and the layout's number (0 without one).
struct Holding
{
    QStringList tables;
    QStringList missing;
    int layout = 0;
};

Result<Holding> holding(ServerConnection &server)
{
    Result<QStringList> tables = ServerSchema::existingTables(server);
    if (!tables)
        return tables.error();
    Holding held{*tables, {}, 0};
    for (const QString &name : ServerSchema::tableNames()) {
        if (!tables->contains(name))
            held.missing << name;
    }
    if (!tables->contains(u"tallowpen_store"_s))
        return held;
    Result<ServerRows> layout = server.run("SELECT layout FROM tallowpen_store");
    if (!layout)
        return layout.error();
    if (layout->rowCount() == 1)
        held.layout = int(layout->number(0, 0));
    return held;
}

bool isEarlier(const Holding &held)
{
    return held.layout == EarlierLayout
        && std::ranges::all_of(held.missing, [](const QString &name) { return AddedInLayout3.contains(name); });
}

} // namespace

Result<bool> ServerSchema::upgrade(ServerConnection &server)
{
    // Two editors opening the store at once: the second waits here and then
    // finds it done.
    const QByteArray lock = QByteArray::number(TeamSchema::UpgradeLock);
    if (Result<ServerRows> locked = server.run("SELECT pg_advisory_xact_lock($1, 0)", {lock}); !locked)
        return locked.error();
    Result<Holding> held = holding(server);
    if (!held)
        return held.error();
    if (!isEarlier(*held))
        return false;
    QString sql;
    for (const QString &table : held->missing)
        sql += addedTable(table);
    sql += TeamSchema::grantStatements();
    sql += u"UPDATE tallowpen_store SET layout = %1;"_s.arg(ServerSchema::Layout);
    const QByteArray statements = sql.toUtf8();
    if (Result<Done> done = server.runScript(statements.constData()); !done)
        return done.error();
    return true;
}

Result<Done> ServerSchema::check(ServerConnection &server)
{
    Result<Holding> held = holding(server);
    if (!held)
        return held.error();
    const bool earlier = isEarlier(*held);
    if (!held->missing.isEmpty() && !earlier) {
        const QString holds = held->tables.isEmpty() ? u"no tables"_s : u"the tables "_s + held->tables.join(u", "_s);
        return Failure{u"The database %1 is not a Tallowpen store: it holds %2. Set up a store in an empty "
                           "database with 'tallowpen-cli --server URI server-init'."_s.arg(server.where(), holds),
                           {}};
    }
    // An earlier store complete but for its number (made while the tables
    // were new) works as it is: only the lead may write the number, and
    // server-init does.
    if (earlier && held->missing.isEmpty())
        return Done{};
    if (earlier) {
        // A team's month of work stays reachable: whoever may create tables
        // (the lead who set the store up) brings it up to date on opening;
        // anyone else is told what is missing and who can add it, and the
        // store stays as it was.
        Result<bool> upgraded = server.transaction<bool>([&] { return upgrade(server); });
        if (!upgraded && !ServerConnection::isLost(upgraded.error()))
            return Failure{u"The store in %1 was set up by an earlier version of Tallowpen and lacks the tables %2, "
                               "which could not be added on this connection (%3). The team's lead, who set the "
                               "store up, should run 'tallowpen-cli --server URI server-init', which adds them and "
                               "keeps every block; nothing was changed."_s
                               .arg(server.where(), held->missing.join(u", "_s), upgraded.error().message),
                           upgraded.error().sqlState};
        if (!upgraded)
            return upgraded.error();
        return Done{};
    }
    if (held->layout != ServerSchema::Layout)
        return Failure{u"The store in %1 has a layout this version of Tallowpen does not know; nothing was "
                           "read or changed."_s.arg(server.where()),
                           {}};
    return Done{};
}
