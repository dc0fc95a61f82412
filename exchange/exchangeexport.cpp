#include "exchange/exchangeexport.h"

#include "exchange/glossary.h"
#include "exchange/po.h"
#include "exchange/tmx.h"
#include "exchange/xliff.h"
#include "links/linkstore.h"
#include "files/safefile.h"

#include <QDir>

#include <map>

using namespace Qt::StringLiterals;

Result<ExchangeExport> exportForTranslation(Database &db, ExchangeFormat format, const ExchangeScope &scope,
                                            const QString &target, const QString &guardedFolder)
{
    ExchangeExport result;
    std::map<QString, QByteArray> files;
    if (format == ExchangeFormat::Glossary) {
        const Result<std::vector<LinkColumns>> rows = readLinkRows(db);
        if (!rows)
            return Failure{rows.error().message, {}, 0};
        files[target] = writeGlossary(linkRowsFrom(*rows));
        result.blocks = int(rows->size());
    } else {
        const Result<ExchangeBlocks> blocks = readExchangeBlocks(db, scope);
        if (!blocks)
            return Failure{blocks.error().message, {}, 0};
        result.blocks = int(blocks->blocks.size());
        if (format == ExchangeFormat::Xliff)
            files[target] = writeXliff(blocks->blocks);
        else if (format == ExchangeFormat::Tmx)
            files[target] = writeTmx(blocks->blocks);
        else if (!QDir(target).mkpath(u"."_s))
            return Failure{u"The folder %1 could not be made; nothing was written."_s.arg(target), {}, 0};
        else
            for (auto &[name, bytes] : writePoFiles(blocks->blocks))
                files[QDir(target).filePath(name)] = bytes;
    }
    for (const auto &[path, bytes] : files) {
        if (const QString refusal = SafeFile::sqliteFileRefusal(path); !refusal.isEmpty())
            return Failure{u"%1 could not be written: %2 Try another place."_s.arg(path, refusal), {}, 0};
        if (const Result<Done> written = SafeFile::writeWhole(path, bytes, guardedFolder); !written)
            return Failure{u"%1 could not be written: %2 Try another place."_s.arg(path, written.error().message), {}, 0};
    }
    result.message = u"%1 written to %2."_s.arg(format == ExchangeFormat::Glossary ? u"%1 links"_s.arg(result.blocks)
                                                                                  : u"%1 blocks"_s.arg(result.blocks),
                                                target);
    return result;
}
