#include "server/teamschema.h"

using namespace Qt::StringLiterals;

namespace {

// Numbers are drawn under a lock held until commit, so they are committed
// in order: a client that has seen change N has seen every change below it
// and catches up with "seq > N" alone. pg_notify inside the saving
// transaction is delivered at its commit, never on a rollback.
const char *const AnnounceChange = R"(
ALTER TABLE block_history ADD COLUMN written_by text NOT NULL DEFAULT '';
CREATE FUNCTION announce_change() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER
SET search_path = public, pg_temp AS $body$
BEGIN
    PERFORM pg_advisory_xact_lock(%1, 0);
    NEW.seq := nextval(pg_get_serial_sequence('block_change', 'seq'));
    PERFORM pg_notify('%2', json_build_object('seq', NEW.seq, 'table', NEW.block_table,
        'file_name', NEW.file_name, 'dialogue_id', NEW.dialogue_id, 'version', NEW.version,
        'user', NEW.changed_by,
        'time', to_char(NEW.changed_at AT TIME ZONE 'UTC', 'YYYY-MM-DD"T"HH24:MI:SS"Z"'))::text);
    RETURN NEW;
END
$body$;
CREATE TRIGGER block_change_announce BEFORE INSERT ON block_change
    FOR EACH ROW EXECUTE FUNCTION announce_change();
)";

// A presence row is only believed while its session holds the advisory
// lock it names (keyed by its own process id): the server drops the lock with the connection, so a crashed
// editor leaves nothing that shows. The heartbeat covers a frozen editor
// whose connection still stands.
const char *const PresenceTables = R"(
CREATE TABLE presence (pid integer PRIMARY KEY, user_name text NOT NULL DEFAULT session_user,
    block_table text NOT NULL, file_name text NOT NULL,
    dialogue_id integer NOT NULL CHECK (dialogue_id BETWEEN -32768 AND 32767),
    lock_key integer NOT NULL, since timestamptz NOT NULL DEFAULT now(),
    heartbeat timestamptz NOT NULL DEFAULT now());
CREATE TABLE block_lease (block_table text NOT NULL, file_name text NOT NULL,
    dialogue_id integer NOT NULL CHECK (dialogue_id BETWEEN -32768 AND 32767),
    claimed_by text NOT NULL DEFAULT session_user, claimed_until timestamptz NOT NULL,
    PRIMARY KEY (block_table, file_name, dialogue_id));
)";

// The roles belong to this database (named after it), so a lead of one
// game is nobody on another. The count's trigger runs as the layout's owner
// so that no role needs to write the count itself. Run by a database owner
// who may create roles; the member must exist.
const char *const GrantFunction = R"(
ALTER FUNCTION count_blocks() SECURITY DEFINER SET search_path = public, pg_temp;
CREATE OR REPLACE FUNCTION tallowpen_role_rights(role_name text, k text) RETURNS void LANGUAGE plpgsql AS $body$
DECLARE
    t text;
    writable text := 'text_data_t, text_data_t_folded, comments, comments_folded, translated, '
        'new_width, new_height, version, updated_by, updated_at';
BEGIN
    EXECUTE format('GRANT SELECT ON ALL TABLES IN SCHEMA public TO %I', role_name);
    EXECUTE format('GRANT INSERT ON block_history, block_change TO %I', role_name);
    EXECUTE format('GRANT INSERT, UPDATE, DELETE ON presence, block_lease TO %I', role_name);
    -- A save closes the block's "original changed" mark, whoever saves it.
    EXECUTE format('GRANT UPDATE (open) ON original_change TO %I', role_name);
    FOREACH t IN ARRAY ARRAY['battling_arena', 'battle_script', 'field'] LOOP
        EXECUTE format('GRANT UPDATE (%s) ON %I TO %I', writable, t, role_name);
        IF k <> 'translator' THEN
            EXECUTE format('GRANT UPDATE (revised) ON %I TO %I', t, role_name);
        END IF;
        IF k = 'lead' THEN
            EXECUTE format('GRANT INSERT, UPDATE, DELETE, TRUNCATE ON %I TO %I', t, role_name);
        END IF;
    END LOOP;
    IF k = 'lead' THEN
        EXECUTE format('GRANT INSERT, UPDATE, DELETE, TRUNCATE ON suggestion TO %I', role_name);
        EXECUTE format('GRANT INSERT ON original_change, removed_block TO %I', role_name);
        EXECUTE format('GRANT UPDATE (restored) ON removed_block TO %I', role_name);
    END IF;
END
$body$;
CREATE OR REPLACE FUNCTION tallowpen_grant(member text, kind text) RETURNS void LANGUAGE plpgsql AS $body$
DECLARE
    role_name text;
    k text;
BEGIN
    IF kind NOT IN ('translator', 'reviewer', 'lead') THEN
        RAISE EXCEPTION 'there is no role %: use translator, reviewer or lead', kind;
    END IF;
    FOREACH k IN ARRAY ARRAY['translator', 'reviewer', 'lead'] LOOP
        role_name := current_database() || '_' || k;
        IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = role_name) THEN
            EXECUTE format('CREATE ROLE %I NOLOGIN', role_name);
        END IF;
        PERFORM tallowpen_role_rights(role_name, k);
        IF k <> kind THEN
            EXECUTE format('REVOKE %I FROM %I', role_name, member);
        END IF;
    END LOOP;
    EXECUTE format('GRANT %I TO %I', current_database() || '_' || kind, member);
END
$body$;
REVOKE EXECUTE ON FUNCTION tallowpen_role_rights(text, text) FROM PUBLIC;
REVOKE EXECUTE ON FUNCTION tallowpen_grant(text, text) FROM PUBLIC;
-- Tables added to the layout reach the roles that already exist.
DO $body$ BEGIN
    PERFORM tallowpen_role_rights(current_database() || '_' || k, k)
        FROM unnest(ARRAY['translator', 'reviewer', 'lead']) k
        WHERE EXISTS (SELECT FROM pg_roles WHERE rolname = current_database() || '_' || k);
END $body$;
)";

} // namespace

QStringList TeamSchema::tableNames()
{
    return {u"presence"_s, u"block_lease"_s};
}

QString TeamSchema::statements()
{
    return QString::fromUtf8(AnnounceChange).arg(ChangeOrderLock).arg(QString::fromLatin1(Channel))
        + QString::fromUtf8(PresenceTables) + grantStatements();
}

QString TeamSchema::grantStatements()
{
    return QString::fromUtf8(GrantFunction);
}
