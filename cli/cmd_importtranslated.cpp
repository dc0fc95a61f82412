#include "cli/commands.h"
#include "cli/progress.h"

#include "scripts/originalimport.h"
#include "scripts/translatedimport.h"
#include "store/database.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

// The translated import as the window runs it once the folder picker
// returned DIR. Exit 1 when the folder is refused or any folder stopped
// (each reason on stderr); the other folders are imported all the same.
int runImportTranslated(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"DIR"_s, u"Folder holding battling_arena, battle_script and field."_s);
    Database db;
    if (const auto stop = parseAndOpenStore(parser, db, context, arguments, 1, 1))
        return *stop;
    CliProgress progress(context.err, CliProgress::modeFor(context.verbose, context.stderrIsTerminal));
    ProgressPacer pacer(&progress);
    const TranslatedImport::Report report = TranslatedImport::run(db, parser.positionalArguments().constFirst(), pacer);
    progress.finish();
    if (!report.validFolder)
        return context.fail(OriginalImport::folderProblem(parser.positionalArguments().constFirst()));
    // A folder that failed is the import's result, whatever the folders after it did.
    if (!report.failures.isEmpty()) {
        context.out << TranslatedImport::FolderFailed << Qt::endl;
        for (const QString &failure : report.failures)
            context.err << failure << Qt::endl;
        return ExitFailure;
    }
    context.out << report.lastStatus << Qt::endl;
    return ExitSuccess;
}
