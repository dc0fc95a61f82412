#include "cli/blockarguments.h"
#include "cli/commands.h"
#include "cli/jsonline.h"
#include "memory/translationmemory.h"
#include "project/sqlitestore.h"
#include "store/storetext.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

// The translation memory's matches for a block, best first, as the window's
// panel lists them.
int runSuggest(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"TABLE FILE_NAME N"_s, u"The block."_s);
    const QCommandLineOption limitOption(u"limit"_s, u"Matches at most (default 5)."_s, u"N"_s, u"5"_s);
    parser.addOption(limitOption);
    if (!parseCommandLine(parser, context, arguments, 3, 3))
        return ExitUsage;
    bool ok = false;
    const int limit = parser.value(limitOption).toInt(&ok);
    if (!ok || limit < 1) {
        context.err << u"--limit takes a whole number of 1 or more."_s << Qt::endl;
        return ExitUsage;
    }

    Database db;
    const auto load = loadBlockFromArguments(db, context, parser.positionalArguments());
    if (!load)
        return load.status();
    SqliteStore store(db);
    TranslationMemory memory;
    if (!memory.open(TranslationMemory::sidecarPath(context.programFolder)) || !memory.sync(store)) {
        context.err << memory.errorMessage() << Qt::endl;
        return ExitFailure;
    }
    for (const MemoryMatch &match : memory.matches(toStoreText(load->original), load->address, limit)) {
        JsonLine line;
        line.add("table", match.address.table)
            .add("file_name", match.address.fileName)
            .add("dialogue_id", int(match.address.number))
            .add("similarity", match.similarity)
            .add("original", match.original)
            .add("translation", match.translation);
        context.out << line.toString() << u'\n';
    }
    return ExitSuccess;
}
