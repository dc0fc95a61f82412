#include "exchange/exchangeblock.h"

#include "store/database.h"
#include "store/layout.h"
#include "store/scriptrows.h"
#include "store/storetext.h"

#include <QXmlStreamReader>

#include <algorithm>

using namespace Qt::StringLiterals;

Result<ExchangeBlocks> readExchangeBlocks(Database &db, const ExchangeScope &scope)
{
    ExchangeBlocks result;
    for (const QString &table : ScriptTables::all) {
        if (!scope.folder.isEmpty() && scope.folder != table)
            continue;
        Result<ResultSet> rows = folderRows(db, table, scope.script);
        if (!rows.ok()) {
            Failure failure = rows.error();
            failure.message = u"The blocks of %1 could not be read: %2"_s.arg(table, failure.message);
            return failure;
        }
        const size_t first = result.blocks.size();
        while (rows->next()) {
            const qlonglong number = rows->value(ColDialogueId).toLongLong();
            // Beyond 16 bits no key names the block and nothing could bring it back.
            if (number < -32768 || number > 32767)
                continue;
            ExchangeBlock block;
            block.address = {table, rows->text(ColFileName), qint16(number)};
            block.translated = rows->value(ColTranslated).toLongLong() == 1;
            if (scope.onlyUntranslated && block.translated)
                continue;
            block.original = fromStoreText(rows->text(ColTextData));
            block.translation = block.translated ? fromStoreText(rows->text(ColTextDataT)) : QString();
            block.comment = fromStoreText(rows->text(ColComments));
            block.revised = rows->value(ColRevised).toLongLong() == 1;
            const int newWidth = rows->value(ColNewWidth).toInt();
            const int newHeight = rows->value(ColNewHeight).toInt();
            const bool chosen = newWidth != 0 || newHeight != 0;
            block.width = chosen ? newWidth : rows->value(ColWidth).toInt();
            block.height = chosen ? newHeight : rows->value(ColHeight).toInt();
            result.blocks.push_back(std::move(block));
        }
        std::sort(result.blocks.begin() + qsizetype(first), result.blocks.end(),
                  [](const ExchangeBlock &a, const ExchangeBlock &b) {
                      return std::tie(a.address.fileName, a.address.number)
                          < std::tie(b.address.fileName, b.address.number);
                  });
    }
    return result;
}

QString scriptPath(const BlockAddress &address)
{
    return address.table + u'/' + address.fileName;
}

bool splitScriptPath(const QString &path, QString *table, QString *fileName)
{
    const qsizetype slash = path.indexOf(u'/');
    if (slash < 0 || !ScriptTables::contains(path.left(slash)) || slash + 1 == path.size())
        return false;
    *table = path.left(slash);
    *fileName = path.mid(slash + 1);
    return true;
}

QString withLf(QString text)
{
    return text.replace(u"\r\n"_s, u"\n"_s);
}

QString withCrLfRestored(const QString &text)
{
    QString lf = text;
    lf.replace(u"\r\n"_s, u"\n"_s);
    return lf.replace(u'\n', u"\r\n"_s);
}

QString readElementText(QXmlStreamReader &xml)
{
    QString text;
    int depth = 0;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::Characters)
            text += xml.text();
        else if (token == QXmlStreamReader::StartElement)
            ++depth;
        else if (token == QXmlStreamReader::EndElement && depth-- == 0)
            break;
    }
    return withCrLfRestored(text);
}
