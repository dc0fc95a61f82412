#include "memory/blockcontext.h"

#include "memory/blocktext.h"
#include "keeping/projectstore.h"
#include "store/storetext.h"
#include "store/database.h"
#include "store/layout.h"
#include "store/scriptrows.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

Result<Done> readBlocks(Database &db, const BlockAddress &block, Around side, int count,
                        std::vector<ContextBlock> &into)
{
    const bool current = side == Around::Same;
    Result<ResultSet> rows = rowsAround(db, block, side, count);
    if (!rows.ok())
        return rows.error();
    while (rows->next()) {
        const qlonglong number = rows->value(ColDialogueId).toLongLong();
        if (number < -32768 || number > 32767)
            continue;
        const QString original = fromStoreText(rows->text(ColTextData));
        const bool translated = rows->value(ColTranslated).toLongLong() == 1;
        into.push_back({{QString(), rows->text(ColFileName), qint16(number)},
                        speakerTag(original),
                        original,
                        translated ? fromStoreText(rows->text(ColTextDataT)) : QString(),
                        current});
        if (current)
            break; // a duplicate row is the block's own problem, reported when it opens
    }
    return Done{};
}

Result<Done> readBlocks(ProjectStore &store, const BlockAddress &block, Around side, int count,
                        std::vector<ContextBlock> &into)
{
    const bool current = side == Around::Same;
    Result<std::vector<BlockRow>> rows = store.blocksAround(block, side, count);
    if (!rows)
        return rows.error();
    for (const BlockRow &row : *rows) {
        const qlonglong number = row[ColDialogueId].toLongLong();
        if (number < -32768 || number > 32767)
            continue;
        const QString original = fromStoreText(row[ColTextData].toString());
        const bool translated = row[ColTranslated].toLongLong() == 1;
        into.push_back({{block.table, row[ColFileName].toString(), qint16(number)},
                        speakerTag(original),
                        original,
                        translated ? fromStoreText(row[ColTextDataT].toString()) : QString(),
                        current});
        if (current)
            break; // as on the program folder's file
    }
    return Done{};
}

// The same reading on the file or through the open store.
template <typename Source>
Result<BlockContext> contextOf(Source &source, const BlockAddress &block, int each)
{
    BlockContext context;
    if (!ScriptTables::contains(block.table))
        return Failure{u"%1 is not a script folder."_s.arg(block.table), {}, 0};
    std::vector<ContextBlock> before;
    Result<Done> read = readBlocks(source, block, Around::Before, each, before);
    if (read)
        read = readBlocks(source, block, Around::Same, each, context.blocks);
    if (read)
        read = readBlocks(source, block, Around::After, each, context.blocks);
    if (!read)
        return Failure{u"The blocks around %1 could not be read: %2"_s.arg(block.fileName, read.error().message), {}, 0};
    context.blocks.insert(context.blocks.begin(), before.rbegin(), before.rend());
    for (ContextBlock &entry : context.blocks)
        entry.address.table = block.table;
    return context;
}

} // namespace

Result<BlockContext> blockContext(Database &db, const BlockAddress &block, int each)
{
    return contextOf(db, block, each);
}

Result<BlockContext> blockContext(ProjectStore &store, const BlockAddress &block, int each)
{
    return contextOf(store, block, each);
}
