#include "cli/commands.h"
#include "cli/exchangefiles.h"
#include "exchange/translationimport.h"
#include "exchange/xliff.h"
#include "store/database.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

int runExportXliff(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"OUT.xlf"_s, u"The XLIFF file to write."_s);
    Database db;
    const auto blocks = readExportBlocks(context, parser, db, arguments);
    if (!blocks)
        return blocks.status();
    if (const auto stop = writeNamedFile(context, parser.positionalArguments().first(), writeXliff(blocks->blocks)))
        return *stop;
    context.err << u"%1 blocks written."_s.arg(blocks->blocks.size()) << Qt::endl;
    return ExitSuccess;
}

int runImportXliff(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"FILE"_s, u"The XLIFF file to read."_s);
    const QCommandLineOption dryRun(u"dry-run"_s, u"Say what would be saved; change nothing."_s);
    parser.addOption(dryRun);
    Database db;
    if (const auto stop = parseAndOpenStore(parser, db, context, arguments, 1, 1))
        return *stop;
    const QString path = parser.positionalArguments().first();
    const auto bytes = readNamedFile(context, path);
    if (!bytes)
        return bytes.status();
    const Result<XliffRead> read = readXliff(*bytes);
    if (!read)
        return context.fail(u"%1 is not an XLIFF file this program wrote or can read. %2 Nothing was imported."_s.arg(
            path, read.error().message));
    return reportImport(context, importTranslations(db, read->units, ImportXliffReason, parser.isSet(dryRun)),
                        parser.isSet(dryRun));
}
