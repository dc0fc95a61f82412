#include "cli/commands.h"
#include "cli/exchangefiles.h"
#include "exchange/tmx.h"
#include "memory/outsidememory.h"
#include "store/database.h"

#include <QCommandLineParser>
#include <QFileInfo>

using namespace Qt::StringLiterals;

int runExportTmx(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"OUT.tmx"_s, u"The TMX file to write."_s);
    addScopeOptions(parser);
    Database db;
    if (const auto stop = parseAndOpenStore(parser, db, context, arguments, 1, 1))
        return *stop;
    const auto scope = scopeFromOptions(context, parser);
    if (!scope)
        return scope.status();
    const auto blocks = readScope(context, db, *scope);
    if (!blocks)
        return blocks.status();
    if (const auto stop = writeNamedFile(context, parser.positionalArguments().first(), writeTmx(blocks->blocks)))
        return *stop;
    return ExitSuccess;
}

// The units go into the outside memory; the store is not touched.
int runImportTmx(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"FILE"_s, u"The TMX file to read."_s);
    const QCommandLineOption origin(u"origin"_s, u"The name its matches show (the file's name by default)."_s,
                                    u"NAME"_s);
    parser.addOption(origin);
    if (!parseCommandLine(parser, context, arguments, 1, 1))
        return ExitUsage;
    const QString path = parser.positionalArguments().first();
    const auto bytes = readNamedFile(context, path);
    if (!bytes)
        return bytes.status();
    const Result<TmxRead> read = readTmx(*bytes);
    if (!read)
        return context.fail(u"%1 could not be read as TMX. %2 Nothing was imported."_s.arg(path, read.error().message));
    OutsideMemory memory;
    const QString name = parser.isSet(origin) ? parser.value(origin) : QFileInfo(path).fileName();
    const int added = memory.open(OutsideMemory::filePath(context.programFolder)) ? memory.add(name, read->pairs) : -1;
    if (added < 0)
        return context.fail(memory.errorMessage() + u" Nothing was imported."_s);
    context.err << u"%1 translations added from %2, %3 already known, %4 units without English and Spanish."_s
                       .arg(added)
                       .arg(name)
                       .arg(qsizetype(read->pairs.size()) - added)
                       .arg(read->skipped)
                << Qt::endl;
    return ExitSuccess;
}
