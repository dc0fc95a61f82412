#pragma once

#include "keeping/blocksave.h"
#include "store/blockedit.h"
#include "store/result.h"
#include "store/scriptnodes.h"
#include "store/translationstatus.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

// The search's own types (search/search.h): a store runs the statements, the
// rules on the typed text stay with the search.
enum class SearchType;
struct SearchOutcome;

// The rows of the three script tables, in ScriptTables order, each in the
// store's order.
using TreeTables = ScriptNodes::Tables;
// A row of the word-link table: word, suggest1..5, comment.
using LinkColumns = std::array<QString, 7>;

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
    virtual Result<qint64> importLinks(const std::vector<LinkColumns> &rows) = 0;
    virtual Result<std::vector<LinkColumns>> links() = 0;
    // The link dialog's OK: a new row for `word`, or with `modify` its rows
    // rewritten; the five suggestions and the comment as typed.
    virtual Result<Done> saveLink(const QString &word, const std::array<QString, 6> &fields, bool modify) = 0;
    virtual Result<Done> eraseLink(const QString &word) = 0;

protected:
    ProjectStore() = default;
    ProjectStore(const ProjectStore &) = default;
    ProjectStore(ProjectStore &&) = default;
    ProjectStore &operator=(const ProjectStore &) = default;
    ProjectStore &operator=(ProjectStore &&) = default;
};
