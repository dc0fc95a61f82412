#include "tests/support/storedblock.h"

#include "store/database.h"
#include "store/storetext.h"
#include "tests/support/testhome.h"

using namespace Qt::StringLiterals;

bool insertBlock(const TestHome &home, const StoredBlock &b)
{
    const auto n = [](int value) { return QString::number(value); };
    const QStringList values{storeLiteral(b.file),  n(b.id),        storeLiteral(b.text), n(b.width),
                             n(b.height),           storeLiteral(b.comments), n(b.translated), n(b.revised),
                             storeLiteral(b.textT), n(b.newWidth), n(b.newHeight)};
    return home.execute(u"INSERT INTO "_s + b.table + u" VALUES ("_s + values.join(u", "_s) + u");"_s);
}

QVariantList storedRow(Database &db, const QString &table, const QString &file, int id)
{
    Result<ResultSet> rows = db.query(u"SELECT * FROM "_s + table + u" WHERE file_name = "_s + storeLiteral(file)
                              + u" AND dialogue_id = "_s + QString::number(id));
    QVariantList values;
    if (rows && rows->rowCount() == 1 && rows->next()) {
        for (int c = 0; c < rows->columnCount(); ++c)
            values << rows->value(c);
    }
    return values;
}
