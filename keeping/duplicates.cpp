#include "keeping/duplicates.h"

#include "keeping/backup.h"
#include "store/database.h"
#include "store/layout.h"
#include "store/scriptrows.h"

using namespace Qt::StringLiterals;

QString DuplicateBlock::name() const
{
    return u"[%1] - [%2] - [%3]"_s.arg(table, fileName, QString::number(number));
}

Result<std::vector<DuplicateBlock>> duplicateBlocks(Database &db)
{
    std::vector<DuplicateBlock> found;
    for (const QString &table : ScriptTables::all) {
        Result<ResultSet> rows = duplicatedRows(db, table);
        if (!rows)
            return rows.error();
        while (rows->next()) {
            const QString file = rows->text(1);
            const auto number = qint16(rows->value(2).toInt());
            if (found.empty() || found.back().table != table || found.back().fileName != file
                || found.back().number != number)
                found.push_back({table, file, number, {}});
            found.back().rows.push_back(rows->value(0).toLongLong());
        }
    }
    return found;
}

QString removeOlderDuplicates(Database &db, const std::vector<DuplicateBlock> &duplicates)
{
    if (duplicates.empty())
        return {};
    if (const Result<Done> backup = Backups::backupBeforeChange(db, u"remove-duplicates"_s); !backup)
        return backup.error().message;
    if (const Result<Done> begun = db.begin(); !begun)
        return begun.error().message;
    for (const DuplicateBlock &block : duplicates) {
        for (size_t i = 0; i + 1 < block.rows.size(); ++i) {
            if (const Result<QVariant> deleted = deleteRow(db, block.table, block.rows[i]); !deleted) {
                const QString why = deleted.error().message;
                db.abandon();
                return u"The older rows could not be removed (%1); the store was left as it was."_s.arg(why);
            }
        }
    }
    if (const Result<Done> committed = db.commit(); !committed) {
        const QString why = committed.error().message;
        db.abandon();
        return u"The older rows could not be removed (%1); the store was left as it was."_s.arg(why);
    }
    return {};
}
