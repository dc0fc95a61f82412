#pragma once

#include "keeping/blocksave.h"
#include "keeping/projectstore.h"
#include "search/search.h"
#include "server/connection.h"
#include "server/versioncheck.h"
#include "store/blockedit.h"
#include "store/scriptnodes.h"
#include "store/translationstatus.h"

#include <array>
#include <vector>

// Kept for the callers written before both stores shared one interface.
using ServerBlockLoad = BlockRead;

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
class ServerStore final : public ProjectStore
{
public:
    // Connects and checks that the database holds this program's layout.
    static Result<ServerStore> open(const QString &address);
    explicit ServerStore(ServerConnection connection);

    ServerConnection &connection() { return m_server; }

    QString where() const override { return m_server.where(); }
    bool keepsVersions() const override { return true; }

    Result<BlockRead> loadBlock(const QString &key) override;
    // As saveBlock does on SQLite: a save equal to `known` writes nothing;
    // otherwise the row gets version + 1 and the user, the values it
    // replaces go to block_history and block_change gets an entry, all in
    // one transaction. The status line is counted afterwards.
    Result<BlockSave> saveBlock(const QString &key, const QString &nodeText, const BlockEdits &edits,
                                const BlockSnapshot *known) override;
    // The same save, held against the version the block was loaded with:
    // a stale one changes nothing and fails as a conflict
    // (VersionCheck::isConflict).
    Result<BlockSave> saveBlock(const QString &key, const QString &nodeText, const BlockEdits &edits,
                                const BlockSnapshot *known, VersionGuard *guard);
    Result<TreeTables> treeRows() override;
    Result<TranslationCount> countBlocks() override;
    // The SQLite search's statements in their order, with its folding: a
    // refused text comes back as a Refused outcome, a failed one as an error.
    Result<SearchOutcome> search(SearchType type, const QString &typed) override;

    // A batch of blocks added to a table with COPY, inside the caller's
    // transaction when there is one; the folded copies are made here.
    Result<qint64> importBlocks(const QString &table, const std::vector<BlockRow> &rows) override;
    Result<qint64> importLinks(const std::vector<LinkColumns> &rows) override;
    // Every row of a table, in the order they were added.
    Result<std::vector<BlockRow>> blockRows(const QString &table) override;
    Result<std::vector<BlockRow>> scriptRows(const QString &table, const QString &fileName) override;
    Result<std::vector<BlockRow>> blocksAround(const BlockAddress &block, Around side, int count) override;
    Result<std::vector<LinkColumns>> links() override;
    Result<Done> saveLink(const QString &word, const std::array<QString, 6> &fields, bool modify) override;
    Result<Done> eraseLink(const QString &word) override;
    Result<std::vector<LinkColumns>> linksOf(const QString &word) override;
    Result<QStringList> linkWords() override;
    // Moves with this connection's own link writes; another user's show
    // when the caller reads the words again (a block load does).
    qint64 linksMark() override { return m_linksMark; }
    Result<std::vector<FigureRow>> figureRows(const QString &table, const QString &script) override;
    Result<std::vector<TranslatedRow>> translatedRows(const QString &table) override;

    // Rows with their row_id, version, user and time.
    Result<std::vector<StoredRow>> storedRows(const QString &table) override;
    // Rows changed in place are updated from one COPY, checked against their
    // versions under lock; a replaced table is locked against writers,
    // checked whole, emptied and filled again by COPY, each row keeping its
    // version when its values stayed. Every text travels as COPY data or a
    // bound parameter. A block whose translation, comment or Revised mark
    // changes in place is saved as the editor saves it: its "original
    // changed" mark closes in the same transaction.
    Result<qint64> writeChange(const StoreChange &change) override;
    // Kept in the server's original_change and removed_block, so that every
    // editor of the team sees the marks; a save closes its block's mark.
    std::optional<QString> changedOriginal(const BlockAddress &address, const QString &current) override;
    Result<QHash<QString, OriginalChange>> changedOriginals() override;
    Result<std::vector<RemovedBlock>> removedBlocks() override;
    // Written as a change of the whole table: the script's rows move after
    // the table's others, checked against their versions.
    Result<Done> restoreRemovedBlock(qint64 id) override;

private:
    Result<Done> writeOriginalUpdate(const StoreChange &change);
    Result<std::vector<RemovedBlock>> readRemoved(const char *where, const QList<QByteArray> &parameters);
    Result<qint64> writeInPlace(const TableChange &table);
    Result<qint64> writeReplaced(const TableChange &table, const QByteArray &user);
    Result<Done> writeLinks(const StoreChange &change);

    ServerConnection m_server;
    qint64 m_linksMark = 0;
};
