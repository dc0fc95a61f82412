#include "cli/commands.h"
#include "cli/progress.h"

#include "scripts/originalimport.h"
#include "store/database.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

// The import as the window runs it once the folder picker returned DIR; the
// automatic-save check belongs to the window and has no meaning here.
int runImportOriginal(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"DIR"_s, u"Folder holding battling_arena, battle_script and field."_s);
    const QCommandLineOption yes(u"yes"_s, u"Answer Yes: empty the store's scripts and word links first."_s);
    parser.addOption(yes);
    Database db;
    if (const auto stop = parseAndOpenStore(parser, db, context, arguments, 1, 1))
        return *stop;
    const QString base = parser.positionalArguments().constFirst();
    Failure error;
    const std::optional<qint64> existing = OriginalImport::existingScriptRows(db, &error);
    if (!existing)
        return context.fail(error.message);
    CliProgress progress(context.err, CliProgress::modeFor(context.verbose, context.stderrIsTerminal));
    ProgressPacer pacer(&progress);
    if (*existing > 0 && !parser.isSet(yes))
        return context.fail(OriginalImport::Question);
    if (const QString why = OriginalImport::folderProblem(base); !why.isEmpty())
        return context.fail(why);
    OriginalImport::Importer importer(db, base, pacer,
                                      *existing > 0 ? OriginalImport::Importer::Mode::Replace
                                                    : OriginalImport::Importer::Mode::Add);
    const OriginalImport::Result result = importer.run();
    progress.finish();
    if (!result) // a verbose run printed the message among the progress texts
        return progress.printsEveryText() ? Stop{ExitFailure} : context.fail(result.error().message);
    if (const QString line = OriginalImport::duplicatesLine(result->duplicates); !line.isEmpty()) {
        context.err << line << Qt::endl;
        for (const DuplicateBlock &block : result->duplicates ? *result->duplicates : std::vector<DuplicateBlock>()) {
            if (context.verbose)
                context.err << u"duplicate: %1 in %2 rows"_s.arg(block.name(), QString::number(block.rows.size()))
                            << Qt::endl;
        }
    }
    context.out << OriginalImport::AllImported << Qt::endl;
    return ExitSuccess;
}
