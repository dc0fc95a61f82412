#include "tests/support/storedblock.h"

#include "store/database.h"
#include "tests/support/testhome.h"

using namespace Qt::StringLiterals;

bool insertBlock(const TestHome &home, const StoredBlock &b)
{
    const QString values = QStringList{u'\'' + b.file + u'\'', QString::number(b.id), u'\'' + b.text + u'\'',
                                       QString::number(b.width), QString::number(b.height),
                                       u'\'' + b.comments + u'\'', QString::number(b.translated),
                                       QString::number(b.revised), u'\'' + b.textT + u'\'',
                                       QString::number(b.newWidth), QString::number(b.newHeight)}
                               .join(u", "_s);
    return home.execute(u"INSERT INTO "_s + b.table
                        + u" (file_name,dialogue_id,text_data,width,height,comments,translated,revised,"
                          "text_data_t,new_width,new_height) VALUES ("_s
                        + values + u");"_s);
}

QVariantList storedRow(Database &db, const QString &table, const QString &file, int id)
{
    ResultSet rows = db.query(u"SELECT * FROM "_s + table + u" WHERE file_name = '"_s + file
                              + u"' AND dialogue_id = "_s + QString::number(id));
    QVariantList values;
    if (rows.rowCount() == 1 && !rows.step()) {
        for (int c = 0; c < rows.columnCount(); ++c)
            values << rows.value(c);
    }
    return values;
}
