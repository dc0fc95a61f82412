#include "cli/commands.h"
#include "cli/exchangefiles.h"
#include "exchange/po.h"
#include "exchange/translationimport.h"
#include "store/database.h"

#include <QCommandLineParser>
#include <QDir>

using namespace Qt::StringLiterals;

int runExportPo(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"OUT_DIR"_s, u"The folder the .po files go into (made when missing)."_s);
    Database db;
    const auto blocks = readExportBlocks(context, parser, db, arguments);
    if (!blocks)
        return blocks.status();
    const QDir folder(parser.positionalArguments().first());
    if (!folder.mkpath(u"."_s))
        return context.fail(u"The folder %1 could not be made; nothing was written."_s.arg(folder.path()));
    const auto files = writePoFiles(blocks->blocks);
    for (const auto &[name, bytes] : files) {
        if (const auto stop = writeNamedFile(context, folder.filePath(name), bytes))
            return *stop;
    }
    context.err << u"%1 PO files written."_s.arg(files.size()) << Qt::endl;
    return ExitSuccess;
}

int runImportPo(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"DIR"_s, u"A folder of .po files, or one .po file."_s);
    const QCommandLineOption dryRun(u"dry-run"_s, u"Say what would be saved; change nothing."_s);
    parser.addOption(dryRun);
    Database db;
    if (const auto stop = parseAndOpenStore(parser, db, context, arguments, 1, 1))
        return *stop;
    const QString path = parser.positionalArguments().first();
    QStringList files{path};
    if (QFileInfo(path).isDir()) {
        files.clear();
        const QDir folder(path);
        for (const QString &name : folder.entryList({u"*.po"_s}, QDir::Files, QDir::Name))
            files << folder.filePath(name);
    }
    std::vector<ExchangeUnit> units;
    for (const QString &file : std::as_const(files)) {
        const auto bytes = readNamedFile(context, file);
        if (!bytes)
            return bytes.status();
        const Result<PoRead> read = readPo(*bytes);
        if (!read)
            return context.fail(
                u"%1 could not be read as PO. %2 Nothing was imported."_s.arg(file, read.error().message));
        units.insert(units.end(), read->units.begin(), read->units.end());
    }
    return reportImport(context, importTranslations(db, units, ImportPoReason, parser.isSet(dryRun)),
                        parser.isSet(dryRun));
}
