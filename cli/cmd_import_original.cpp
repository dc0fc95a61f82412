#include "cli/commands.h"

#include "scripts/originalimport.h"
#include "store/database.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace {

// Progress texts, one a line, on stderr; stdout keeps only the result.
class StderrProgress : public ImportProgress
{
public:
    explicit StderrProgress(QTextStream &err)
        : m_err(err)
    {
    }
    void showText(const QString &text) override { m_err << text << Qt::endl; }

private:
    QTextStream &m_err;
};

} // namespace

// The import as the window runs it once the folder picker returned DIR; the
// automatic-save check belongs to the window and has no meaning here.
int runImportOriginal(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"DIR"_s, u"Folder holding battling_arena, battle_script and field."_s);
    const QCommandLineOption yes(u"yes"_s, u"Answer Yes: empty the store's scripts and word links first."_s);
    parser.addOption(yes);
    if (!parseCommandLine(parser, context, arguments, 1, 1))
        return ExitUsage;
    const QString base = parser.positionalArguments().constFirst();

    Database db;
    if (!openProgramStore(db, context))
        return ExitFailure;
    StoreError error;
    const std::optional<qint64> existing = OriginalImport::existingScriptRows(db, &error);
    if (!existing) {
        context.err << error.message << Qt::endl;
        return ExitFailure;
    }
    StderrProgress progress(context.err);
    ProgressPacer pacer(&progress);
    if (*existing > 0) {
        if (!parser.isSet(yes)) {
            context.err << OriginalImport::Question << Qt::endl;
            return ExitFailure;
        }
        if (!OriginalImport::deleteOriginals(db, pacer, &error)) {
            context.err << error.message << Qt::endl;
            return ExitFailure;
        }
    }
    if (!OriginalImport::isScriptFolder(base)) {
        context.err << OriginalImport::InvalidFolder << Qt::endl;
        return ExitFailure;
    }
    OriginalImport::Importer importer(db, base, pacer);
    const OriginalImport::Result result = importer.run();
    if (!result.ok)
        return ExitFailure; // its message went to stderr with the progress
    context.out << result.message << Qt::endl;
    return ExitSuccess;
}
