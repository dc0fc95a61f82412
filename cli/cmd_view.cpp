#include "cli/commands.h"

#include "scripts/scriptformat.h"
#include "scripts/scriptview.h"
#include "store/layout.h"
#include "store/storetext.h"

#include <QCommandLineParser>
#include <QFile>

#include <cstdio>

using namespace Qt::StringLiterals;

// The bytes the view puts on the clipboard, encoded as a script file is.
int runView(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"TABLE FILE_NAME"_s, u"The script."_s);
    if (!parseCommandLine(parser, context, arguments, 2, 2))
        return ExitUsage;
    const QStringList words = parser.positionalArguments();
    if (!checkTableName(context, words[0]))
        return ExitUsage;
    Database db;
    if (!openProgramStore(db, context))
        return ExitFailure;
    // File names are stored as every text is: with grave accents for apostrophes.
    const ViewedScript script{words[0], toStoreText(words[1])};
    const Result<QString> text = scriptViewText(db, script);
    if (!text)
        return context.fail(text.error().message);
    EncodeFailure failure;
    const auto bytes = encodeScriptText(*text, script.script, &failure);
    if (!bytes)
        return context.fail(failure.message);
    context.out.flush();
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly) || out.write(*bytes) != bytes->size() || !out.flush())
        return context.fail(u"The script could not be written to the standard output."_s);
    return ExitSuccess;
}
