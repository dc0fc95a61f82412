#pragma once

#include "keeping/blocksave.h"
#include "keeping/originalhistory.h"
#include "store/blockedit.h"
#include "store/linkrows.h"
#include "store/result.h"
#include "store/scriptrows.h"
#include "store/scriptnodes.h"
#include "store/translationstatus.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <utility>
#include <vector>

// The search's own types (search/search.h): a store runs the statements, the
// rules on the typed text stay with the search.
enum class SearchType;
struct SearchOutcome;

// The rows of the three script tables, in ScriptTables order, each in the
// store's order.
using TreeTables = ScriptNodes::Tables;

// A block as the statistics count it: its script, its original in stored
// form, and its marks (each true only when the stored value is 1).
struct FigureRow
{
    QString fileName;
    QString original;
    bool translated = false;
    bool revised = false;
};

// A block with a translation, as the translation memory keeps it; texts in
// stored form.
struct TranslatedRow
{
    QString fileName;
    qint64 number = 0; // as stored, perhaps beyond 16 bits
    QString original;
    QString translation;
};

// A block as a store read it: what a click on its node shows and, where the
// store keeps them, its version and who changed it last. The version is
// absent unless exactly one row was found.
struct BlockRead
{
    BlockLoad load;
    std::optional<qint64> version;
    QString updatedBy;
    QString updatedAt; // ISO 8601, UTC
};

// A script-table row as a store holds it: the store's own id for the row
// and, where the store keeps them, its version and who changed it last.
struct StoredRow
{
    qint64 id = 0;
    qint64 version = 0; // 0 where the store keeps none
    QString updatedBy;
    QString updatedAt; // as the store gives it back to itself
    BlockRow row;
};

// What a command did to one table, against the rows it read: rows changed in
// place, or, when rows came or went, the table's whole new content.
struct TableChange
{
    QString table;
    std::vector<StoredRow> before; // every row as read, in order
    std::vector<std::pair<size_t, BlockRow>> changed; // index into `before`, new values
    std::optional<std::vector<BlockRow>> replaced;
};

// Everything a command changed, ready to be written in one go.
struct StoreChange
{
    std::vector<TableChange> tables;
    std::optional<std::vector<LinkColumns>> linksBefore; // set when the links changed
    std::vector<LinkColumns> linksAfter;
    // What an update of the originals replaced and took away, for a store
    // that keeps it itself (a server's); beside a local store the update
    // wrote it into history.db already.
    std::vector<OriginalChange> originalChanges;
    std::vector<RemovedBlock> removedBlocks;

    bool isEmpty() const
    {
        return tables.empty() && !linksBefore && originalChanges.empty() && removedBlocks.empty();
    }
};

// Whether two rows hold the same values as a store writes them (a number
// read back as text is the same number).
bool sameBlockRow(const BlockRow &a, const BlockRow &b);
// The same for one column.
bool sameBlockValue(const BlockRow &a, const BlockRow &b, int column);

// The change that turns `before` into `after` (rows of each script table in
// ScriptTables order, then the links); only the tables that differ.
StoreChange compareStores(const std::array<std::vector<StoredRow>, 3> &before,
                          const std::vector<LinkColumns> &linksBefore,
                          const std::array<std::vector<BlockRow>, 3> &after,
                          const std::vector<LinkColumns> &linksAfter);

// The project's store, whichever holds it: the program folder's tallowpen.db
// or a server's database. Says what is asked; each implementation keeps its
// own statements. The same content gives the same results on both.
//
// Thread contract: the thread that opened it, one call at a time.
class ProjectStore
{
public:
    virtual ~ProjectStore() = default;

    // For titles and messages: the file's path, or "user@host/database".
    virtual QString where() const = 0;
    // True for a server's store, which keeps versions and their authors.
    virtual bool keepsVersions() const = 0;

    virtual Result<BlockRead> loadBlock(const QString &key) = 0;
    // As a tick of the automatic save: a save equal to `known` writes
    // nothing. The status line is counted afterwards.
    virtual Result<BlockSave> saveBlock(const QString &key, const QString &nodeText, const BlockEdits &edits,
                                        const BlockSnapshot *known) = 0;
    virtual Result<TreeTables> treeRows() = 0;
    virtual Result<TranslationCount> countBlocks() = 0;
    // The search's rules and statements in their order, with the folding of
    // SQLite's LIKE; a refused text is a Refused outcome.
    virtual Result<SearchOutcome> search(SearchType type, const QString &typed) = 0;

    // A batch of rows added to a script table, inside the caller's
    // transaction when there is one.
    virtual Result<qint64> importBlocks(const QString &table, const std::vector<BlockRow> &rows) = 0;
    // Every row of a script table, in the order they were added.
    virtual Result<std::vector<BlockRow>> blockRows(const QString &table) = 0;
    // The rows of a block's script before it (nearest first), the block's
    // own, or after it (nearest first), at most `count` of those around: the
    // conversation the memory's Context tab shows.
    // The rows of one script of a table, in the order they were added: what
    // View Script shows.
    virtual Result<std::vector<BlockRow>> scriptRows(const QString &table, const QString &fileName) = 0;
    virtual Result<std::vector<BlockRow>> blocksAround(const BlockAddress &block, Around side, int count) = 0;
    virtual Result<qint64> importLinks(const std::vector<LinkColumns> &rows) = 0;
    virtual Result<std::vector<LinkColumns>> links() = 0;
    // The link dialog's OK: a new row for `word`, or with `modify` its rows
    // rewritten; the five suggestions and the comment as typed.
    virtual Result<Done> saveLink(const QString &word, const std::array<QString, 6> &fields, bool modify) = 0;
    virtual Result<Done> eraseLink(const QString &word) = 0;
    // The rows of `word` in the link table (the word as the store keeps it),
    // in the table's order: a hover and Modify link read them.
    virtual Result<std::vector<LinkColumns>> linksOf(const QString &word) = 0;
    // Every word of the link table, for the marking of linked words.
    virtual Result<QStringList> linkWords() = 0;
    // A number that changes whenever the links may have; -1 when the store
    // cannot tell, and they are to be read again.
    virtual qint64 linksMark() = 0;

    // The rows of a script table the statistics count, in the store's order;
    // only those of `script` when it is given.
    virtual Result<std::vector<FigureRow>> figureRows(const QString &table, const QString &script) = 0;
    // The rows of a script table whose translation is not empty, in the
    // store's order.
    virtual Result<std::vector<TranslatedRow>> translatedRows(const QString &table) = 0;

    // ---- A command's changes written back at once ----
    // Every row of a script table with its id (and version), in order.
    virtual Result<std::vector<StoredRow>> storedRows(const QString &table) = 0;
    // The whole change in one transaction; a failure writes nothing. Gives
    // the number of blocks written. On a store that keeps versions each
    // changed block gets version + 1 and the user, its replaced values a
    // history row and its new version an announcement; a row no longer at
    // the version it was read at, or links changed meanwhile, fail as a
    // conflict ("Conflict: ...").
    virtual Result<qint64> writeChange(const StoreChange &change) = 0;

    // ---- What updates of the originals replaced and took away ----
    // The block's open "original changed" mark: the original it had before,
    // while the store still holds `current` (stored form) and nobody saved
    // the block since.
    virtual std::optional<QString> changedOriginal(const BlockAddress &address, const QString &current) = 0;
    // Every open mark by block key (the newest of a block), read at once for
    // a check of the whole project; a mark counts while the block's original
    // is still its newOriginal.
    virtual Result<QHash<QString, OriginalChange>> changedOriginals() = 0;
    // The removed blocks not put back, newest first.
    virtual Result<std::vector<RemovedBlock>> removedBlocks() = 0;
    // One of them back in its script, the script's rows after it in block
    // order; fails with why not.
    virtual Result<Done> restoreRemovedBlock(qint64 id) = 0;

protected:
    ProjectStore() = default;
    ProjectStore(const ProjectStore &) = default;
    ProjectStore(ProjectStore &&) = default;
    ProjectStore &operator=(const ProjectStore &) = default;
    ProjectStore &operator=(ProjectStore &&) = default;
};
