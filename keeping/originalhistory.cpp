#include "keeping/originalhistory.h"

#include "keeping/historystore.h"
#include "store/blockedit.h"
#include "store/database.h"
#include "store/layout.h"
#include "store/scriptrows.h"

#include <map>

using namespace Qt::StringLiterals;

// Every statement on history.db, the marks and removed blocks kept here
// among them, is in historystore.cpp.

RemovedBlock removedBlockOf(const ResultSet &row, const BlockAddress &address)
{
    RemovedBlock block;
    static_cast<ScriptRowValues &>(block) = scriptRowOf(row, address);
    return block;
}

Result<Done> restoreRemovedBlock(Database &db, qint64 id)
{
    const Result<Database *> opened = historyStore(db.path(), false);
    if (!opened)
        return opened.error();
    Database *history = *opened;
    if (!history)
        return Failure{u"No block was ever removed from this store."_s, {}};
    const Result<std::optional<RemovedBlock>> waiting = waitingRemovedBlock(*history, id);
    if (!waiting)
        return waiting.error();
    if (!*waiting)
        return Failure{u"No removed block %1 is waiting to be restored."_s.arg(id), {}};
    const RemovedBlock &block = **waiting;
    const BlockAddress &a = block.address;
    if (!ScriptTables::contains(a.table))
        return Failure{u"Removed block %1 names no script table (%2)."_s.arg(QString::number(id), a.table), {}};
    Result<ResultSet> there = db.query(blockSelectStatement(a));
    if (!there.ok())
        return there.error();
    if (there->rowCount() > 0)
        return Failure{u"Block %1 of %2 is in the store again; the removed one is kept as it is."_s.arg(
                           QString::number(a.number), a.fileName),
                       {}};
    // The script's rows go after the table's others, in block order: a row
    // added at the end alone would part them.
    std::multimap<qint64, RemovedBlock> ordered{{a.number, block}};
    Result<ResultSet> script = folderRows(db, a.table, a.fileName);
    if (!script.ok())
        return script.error();
    while (script->next()) {
        const RemovedBlock row =
            removedBlockOf(*script, {a.table, a.fileName, qint16(script->value(ColDialogueId).toLongLong())});
        ordered.emplace(row.address.number, row);
    }
    std::vector<QString> statements{scriptDeleteStatement(a.table, a.fileName)};
    for (const auto &[number, row] : ordered)
        statements.push_back(rowInsertStatement(row));
    Result<Done> step = db.begin();
    for (const QString &statement : statements) {
        if (!step)
            break;
        if (const Result<QVariant> written = db.execute(statement); !written)
            step = written.error();
    }
    if (step)
        step = db.commit();
    if (!step) {
        db.abandon();
        return Failure{step.error().message, {}};
    }
    // The block is back in the store; should the mark fail, it is only offered again.
    markRestored(*history, id);
    return Done{};
}
