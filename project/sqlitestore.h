#pragma once

#include "store/database.h"
#include "keeping/projectstore.h"

#include <memory>

enum class SearchType;
struct SearchOutcome;

// The search's statements run on `db` (LIKE as the store has set it up):
// the rules on the typed text, then hits in the order the statements return
// their rows. A failing statement stops the search with the hits found so
// far and the store's message.
SearchOutcome searchBlocks(Database &db, SearchType type, const QString &typed);

// The program folder's tallowpen.db behind the store interface: each call is
// the function the windows and commands have always used, with its
// statements unchanged.
//
// Thread contract: as Database.
class SqliteStore final : public ProjectStore
{
public:
    // Works on a database the caller opened and keeps.
    explicit SqliteStore(Database &db);
    // Opens `path` as every window does at load.
    static Result<std::unique_ptr<SqliteStore>> open(const QString &path);

    Database &database() { return m_db; }

    QString where() const override { return m_db.path(); }
    bool keepsVersions() const override { return false; }

    Result<BlockRead> loadBlock(const QString &key) override;
    Result<BlockSave> saveBlock(const QString &key, const QString &nodeText, const BlockEdits &edits,
                                const BlockSnapshot *known) override;
    Result<TreeTables> treeRows() override;
    Result<TranslationCount> countBlocks() override;
    Result<SearchOutcome> search(SearchType type, const QString &typed) override;
    Result<qint64> importBlocks(const QString &table, const std::vector<BlockRow> &rows) override;
    Result<std::vector<BlockRow>> blockRows(const QString &table) override;
    Result<std::vector<BlockRow>> scriptRows(const QString &table, const QString &fileName) override;
    Result<std::vector<BlockRow>> blocksAround(const BlockAddress &block, Around side, int count) override;
    Result<qint64> importLinks(const std::vector<LinkColumns> &rows) override;
    Result<std::vector<LinkColumns>> links() override;
    Result<Done> saveLink(const QString &word, const std::array<QString, 6> &fields, bool modify) override;
    Result<Done> eraseLink(const QString &word) override;
    Result<std::vector<LinkColumns>> linksOf(const QString &word) override;
    Result<QStringList> linkWords() override;
    qint64 linksMark() override;
    Result<std::vector<FigureRow>> figureRows(const QString &table, const QString &script) override;
    Result<std::vector<TranslatedRow>> translatedRows(const QString &table) override;

    // Rows with their rowid; no versions are kept here.
    Result<std::vector<StoredRow>> storedRows(const QString &table) override;
    Result<qint64> writeChange(const StoreChange &change) override;
    // history.db beside the store, as the update wrote it.
    std::optional<QString> changedOriginal(const BlockAddress &address, const QString &current) override;
    Result<QHash<QString, OriginalChange>> changedOriginals() override;
    Result<std::vector<RemovedBlock>> removedBlocks() override;
    Result<Done> restoreRemovedBlock(qint64 id) override;

private:
    SqliteStore(std::unique_ptr<Database> owned);
    Result<qint64> runInserts(const QStringList &statements);

    std::unique_ptr<Database> m_owned;
    Database &m_db;
};
