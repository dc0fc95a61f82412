#include "store/scriptrows.h"

#include "store/layout.h"
#include "store/storetext.h"

#include <algorithm>

using namespace Qt::StringLiterals;

Result<ResultSet> rowsAround(Database &db, const BlockAddress &block, Around side, int count)
{
    const QString script = u"SELECT * FROM "_s + block.table + u" WHERE file_name = "_s + storeLiteral(block.fileName)
        + u" AND dialogue_id "_s;
    const QString at = QString::number(block.number);
    const QString most = QString::number(std::max(count, 0));
    switch (side) {
    case Around::Before:
        return db.query(script + u"< "_s + at + u" ORDER BY dialogue_id DESC LIMIT "_s + most + u';');
    case Around::Same:
        return db.query(script + u"= "_s + at + u';');
    case Around::After:
        break;
    }
    return db.query(script + u"> "_s + at + u" ORDER BY dialogue_id LIMIT "_s + most + u';');
}
