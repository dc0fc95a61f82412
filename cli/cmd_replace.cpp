#include "cli/commands.h"
#include "cli/jsonline.h"

#include "search/replace.h"
#include "store/database.h"
#include "store/layout.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

// Find and replace over every block: one line per changed block, the count
// on stderr. A dry run says the same and changes nothing.
int runReplace(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"FIND"_s, u"The text (or, with --regex, the expression) to find."_s);
    parser.addPositionalArgument(u"REPLACEMENT"_s, u"What goes in its place; \\1 names a capture."_s);
    const QCommandLineOption in(u"in"_s, u"translated (the default) or comments."_s, u"FIELD"_s, u"translated"_s);
    const QCommandLineOption folder(u"folder"_s, u"Only this folder's scripts."_s, u"F"_s);
    const QCommandLineOption script(u"script"_s, u"Only this script."_s, u"FILE_NAME"_s);
    const QCommandLineOption matchCase(u"match-case"_s, u"Letters must match in case."_s);
    const QCommandLineOption wholeWord(u"whole-word"_s, u"Only whole words."_s);
    const QCommandLineOption regex(u"regex"_s, u"FIND is a regular expression."_s);
    const QCommandLineOption dryRun(u"dry-run"_s, u"Say what would change; change nothing."_s);
    parser.addOptions({in, folder, script, matchCase, wholeWord, regex, dryRun});
    if (!parseCommandLine(parser, context, arguments, 2, 2))
        return ExitUsage;
    ReplaceOptions options;
    options.find = parser.positionalArguments().at(0);
    options.replacement = parser.positionalArguments().at(1);
    const QString field = parser.value(in);
    if (field != u"translated"_s && field != u"comments"_s)
        return context.usage(u"--in takes translated or comments, not %1."_s.arg(field));
    options.in = field == u"comments"_s ? ReplaceField::Comments : ReplaceField::Translated;
    options.folder = parser.value(folder);
    if (!options.folder.isEmpty() && !checkTableName(context, options.folder))
        return ExitUsage;
    options.script = parser.value(script);
    options.matchCase = parser.isSet(matchCase);
    options.wholeWord = parser.isSet(wholeWord);
    options.regex = parser.isSet(regex);

    Database db;
    if (!openProgramStore(db, context))
        return ExitFailure;
    const Result<MatchList> found = findMatches(db, options);
    if (!found)
        return context.fail(found.error().message);
    const MatchList &list = *found;

    std::vector<ReplacedBlock> blocks;
    qsizetype replacements = 0;
    if (parser.isSet(dryRun)) {
        for (const BlockMatches &block : list.blocks)
            blocks.push_back({block.address, block.key, block.text, applyMatches(block.text, block.matches)});
        replacements = list.count();
    } else {
        Result<ReplaceBatch> batch = replaceMatches(db, list, options.in);
        if (!batch)
            return context.fail(batch.error().message);
        blocks = std::move(batch->blocks);
        replacements = batch->replacements;
    }
    for (const ReplacedBlock &block : blocks) {
        context.out << JsonLine()
                           .add("table", block.address.table)
                           .add("file_name", block.address.fileName)
                           .add("dialogue_id", int(block.address.number))
                           .add("before", block.before)
                           .add("after", block.after)
                           .toString()
                    << u'\n';
    }
    context.out.flush();
    context.err << replaceSummary(replacements, qsizetype(blocks.size())) << Qt::endl;
    return ExitSuccess;
}
