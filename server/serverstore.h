#pragma once

#include "search/search.h"
#include "server/connection.h"
#include "keeping/blocksave.h"
#include "server/versioncheck.h"
#include "store/scriptnodes.h"
#include "store/translationstatus.h"

#include <array>
#include <vector>

// A block as the server holds it: what a click on its node shows, and who
// changed it last. The version is absent unless exactly one row was found.
struct ServerBlockLoad
{
    BlockLoad load;
    std::optional<qint64> version;
    QString updatedBy;
    QString updatedAt; // ISO 8601, UTC
};

// The rows of the three script tables as the tree reads them.
using TreeTables = std::array<std::vector<ScriptNodes::Row>, 3>;
// A row of the word-link table: word, suggest1..5, comment.
using LinkRow = std::array<QString, 7>;

// The store on a server database: what the SQLite store offers (load and
// save a block, the tree's rows, the counts, search, a batch of blocks in,
// the links) with the same results for the same content, plus a version,
// the user and the time per block, and history and the change sequence
// written in the saving transaction.
//
// Texts are kept in the SQLite store's form (grave accents for apostrophes),
// so that a copy pulled into SQLite is that store byte for byte.
//
// Thread contract: as ServerConnection.
class ServerStore
{
public:
    // Connects and checks that the database holds this program's layout.
    static Result<ServerStore> open(const QString &address);
    explicit ServerStore(ServerConnection connection);

    ServerConnection &connection() { return m_server; }

    Result<ServerBlockLoad> loadBlock(const QString &key);
    // As saveBlock does on SQLite: a save equal to `known` writes nothing;
    // otherwise the row gets version + 1 and the user, the values it
    // replaces go to block_history and block_change gets an entry, all in
    // one transaction. The status line is counted afterwards. With a guard
    // naming a version, a block no longer at it is left alone and the
    // failure is a conflict (VersionCheck::isConflict).
    Result<BlockSave> saveBlock(const QString &key, const QString &nodeText, const BlockEdits &edits,
                                const BlockSnapshot *known, VersionGuard *guard = nullptr);
    Result<TreeTables> treeRows();
    Result<TranslationCount> countBlocks();
    // The SQLite search's statements in their order, with its folding: a
    // refused text comes back as a Refused outcome, a failed one as an error.
    Result<SearchOutcome> search(SearchType type, const QString &typed);

    // A batch of blocks added to a table with COPY, inside the caller's
    // transaction when there is one; the folded copies are made here.
    Result<qint64> importBlocks(const QString &table, const std::vector<BlockRow> &rows);
    Result<qint64> importLinks(const std::vector<LinkRow> &rows);
    // Every row of a table, in the order they were added.
    Result<std::vector<BlockRow>> blockRows(const QString &table);
    Result<std::vector<LinkRow>> links();

private:
    ServerConnection m_server;
};
