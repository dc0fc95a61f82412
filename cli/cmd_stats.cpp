#include "cli/commands.h"
#include "cli/jsonline.h"
#include "memory/wordstats.h"
#include "project/sqlitestore.h"
#include "store/layout.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace {

QString figuresLine(const ScriptFigures &figures)
{
    JsonLine line;
    line.add("table", figures.table)
        .add("file_name", figures.fileName)
        .add("blocks", figures.blocks)
        .add("translated", figures.translated)
        .add("revised", figures.revised)
        .add("words", figures.words)
        .add("words_translated", figures.wordsTranslated)
        .add("characters", figures.characters)
        .add("characters_translated", figures.charactersTranslated);
    return line.toString();
}

} // namespace

// Progress in words: one line per script, then the total (whose table is the
// folder asked for, or empty for the whole project).
int runStats(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption folderOption(u"folder"_s, u"Only this folder (a table name)."_s, u"F"_s);
    parser.addOption(folderOption);
    if (!parseCommandLine(parser, context, arguments, 0, 0))
        return ExitUsage;
    const QString folder = parser.value(folderOption);
    if (parser.isSet(folderOption) && !ScriptTables::contains(folder)) {
        context.err << u"Unknown folder %1: use battling_arena, battle_script or field."_s.arg(folder) << Qt::endl;
        return ExitUsage;
    }
    Database db;
    if (!openProgramStore(db, context))
        return ExitFailure;
    SqliteStore store(db);
    Result<ProjectFigures> figures = projectFigures(store, folder);
    if (!figures) {
        context.err << figures.error().message << Qt::endl;
        return ExitFailure;
    }
    for (const ScriptFigures &script : figures->scripts)
        context.out << figuresLine(script) << u'\n';
    figures->total.table = folder;
    context.out << figuresLine(figures->total) << Qt::endl;
    return ExitSuccess;
}
