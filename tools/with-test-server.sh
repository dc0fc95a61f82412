#!/usr/bin/env bash
# Runs a command beside a throwaway PostgreSQL 15 cluster of its own: made by
# initdb in a temporary folder, listening only on a Unix socket there, with
# fsync off, named to the command in $TALLOWPEN_TEST_SERVER, and stopped and
# removed when the command ends, whether it passed, failed or was broken off.
#   tools/with-test-server.sh COMMAND [ARGS]
# Without PostgreSQL 15 the command runs alone and the server tests skip.
set -euo pipefail

bin=/usr/lib/postgresql/15/bin
if [ ! -x "$bin/initdb" ]; then
    echo "No PostgreSQL 15 in $bin (Debian package postgresql-15): the server tests are skipped." >&2
    exec "$@"
fi

folder=$(mktemp -d "${TMPDIR:-/tmp}/tallowpen-pg.XXXXXX")
# initdb refuses to run as root: the cluster then belongs to postgres.
owner=()
if [ "$(id -u)" -eq 0 ]; then
    chown postgres: "$folder"
    owner=(runuser -u postgres --)
fi
stop() {
    "${owner[@]}" "$bin/pg_ctl" -D "$folder/data" -m immediate -w stop >/dev/null 2>&1 || true
    rm -rf "$folder"
}
trap stop EXIT
trap 'exit 130' INT TERM

"${owner[@]}" "$bin/initdb" -D "$folder/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 --no-sync \
    >"$folder/initdb.log"
"${owner[@]}" "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w start \
    -o "-c listen_addresses='' -k $folder -c fsync=off -c synchronous_commit=off -c full_page_writes=off" >/dev/null
export TALLOWPEN_TEST_SERVER="host=$folder user=postgres dbname=postgres"
"$@"
