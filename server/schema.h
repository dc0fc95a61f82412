#pragma once

#include "server/connection.h"

#include <QStringList>

// The server's layout: the four tables of the SQLite store with the same
// columns, and beside them what a team needs: per block a version, who
// changed it and when; block_history (the earlier values, with who replaced
// them); block_change, the change sequence a client catches up by;
// block_count, the blocks and translated blocks per table, kept by triggers;
// and tallowpen_store, the mark that the database is a store of this program.
//
// Numbers keep their 16-bit ranges in integer columns with CHECKs, the flags
// are 0 or 1, texts are text NOT NULL (empty, never NULL). Each text column
// that is searched has a folded copy (store/unicodelike.h) kept by the
// program on every write, so the server's plain LIKE gives SQLite's hits.
namespace ServerSchema {

// 3 added original_change and removed_block; a store of 2 is brought up to
// date when it is opened or set up again.
inline constexpr int Layout = 3;
// Every table the layout makes, in the order it makes them.
QStringList tableNames();

// The tables the database holds, schema-qualified outside "public".
Result<QStringList> existingTables(ServerConnection &server);

// Creates the layout inside the caller's transaction; refuses, naming them,
// when the database holds any table.
Result<Done> create(ServerConnection &server);

// Checks that the database holds this program's layout before anything is
// read or written, bringing a store of the earlier layout up to date; the
// error says what it holds instead, or who may bring it up to date.
Result<Done> check(ServerConnection &server);

// Inside the caller's transaction: the tables added since the earlier
// layout, the roles' rights on them and the layout's number. False, with
// nothing changed, when the database holds no store of the earlier layout.
Result<bool> upgrade(ServerConnection &server);

} // namespace ServerSchema
