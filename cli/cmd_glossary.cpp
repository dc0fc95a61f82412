#include "cli/commands.h"
#include "cli/exchangefiles.h"
#include "exchange/glossary.h"
#include "links/linkstore.h"
#include "store/database.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

int runExportGlossary(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"OUT.csv"_s, u"The CSV glossary to write."_s);
    Database db;
    if (const auto stop = parseAndOpenStore(parser, db, context, arguments, 1, 1))
        return *stop;
    const Result<std::vector<LinkColumns>> rows = readLinkRows(db);
    if (!rows)
        return context.fail(rows.error().message);
    if (const auto stop = writeNamedFile(context, parser.positionalArguments().first(), writeGlossary(linkRowsFrom(*rows))))
        return *stop;
    return ExitSuccess;
}

int runImportGlossary(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"FILE"_s, u"The CSV glossary to read."_s);
    Database db;
    if (const auto stop = parseAndOpenStore(parser, db, context, arguments, 1, 1))
        return *stop;
    const QString path = parser.positionalArguments().first();
    const auto bytes = readNamedFile(context, path);
    if (!bytes)
        return bytes.status();
    const Result<GlossaryRead> read = readGlossary(*bytes);
    if (!read)
        return context.fail(
            u"%1 could not be read as a glossary. %2 Nothing was imported."_s.arg(path, read.error().message));
    const Result<GlossaryImport> import = importGlossary(db, read->rows);
    if (!import)
        return context.fail(import.error().message);
    context.err << u"%1 links added, %2 changed, %3 unchanged. The store was copied first to backups/%4."_s
                       .arg(import->added)
                       .arg(import->changed)
                       .arg(import->unchanged)
                       .arg(import->backup)
                << Qt::endl;
    return ExitSuccess;
}
