#include "cli/blockarguments.h"
#include "cli/commands.h"
#include "cli/jsonline.h"
#include "cli/storeaccess.h"
#include "cli/textinput.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

// Loads the block, puts the given values where a translator would type and
// tick them, and saves as a tick of the automatic save does: a row that
// already holds the values is left alone.
int runSave(CliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(u"TABLE FILE_NAME N"_s, u"The block."_s);
    const QCommandLineOption translation(u"translation"_s, u"The translation editor's text."_s, u"TEXT"_s);
    const QCommandLineOption translationFile(u"translation-file"_s, u"A UTF-8 file holding the translation."_s,
                                             u"PATH"_s);
    const QCommandLineOption comment(u"comment"_s, u"The comment box's text."_s, u"TEXT"_s);
    const QCommandLineOption revised(u"revised"_s, u"The \"Revised\" box: 0 or 1."_s, u"0|1"_s);
    parser.addOptions({translation, translationFile, comment, revised});
    if (!parseCommandLine(parser, context, arguments, 3, 3))
        return ExitUsage;
    if (parser.isSet(translation) && parser.isSet(translationFile))
        return context.usage(u"Give --translation or --translation-file, not both."_s);
    const QString revisedValue = parser.value(revised);
    if (parser.isSet(revised) && revisedValue != u"0" && revisedValue != u"1")
        return context.usage(u"--revised takes 0 or 1."_s);

    const auto address = blockFromArguments(context, parser.positionalArguments());
    if (!address)
        return ExitUsage;
    const auto store = openCommandStore(context);
    if (!store)
        return ExitFailure;
    const auto block = loadStoredBlock(*store, context, *address);
    if (!block)
        return block.status();
    const BlockLoad *load = &block->load;
    // The window can only save a block it shows; a name without a row would
    // save into nothing and look like success.
    if (!load->stored)
        return context.fail(u"There is no block %1 in the store; nothing was saved."_s.arg(
            parser.positionalArguments().join(u' ')));

    BlockEdits edits{load->translation, load->comment, load->revised};
    if (parser.isSet(translation))
        edits.translation = withCrLf(parser.value(translation));
    if (parser.isSet(translationFile)) {
        const auto text = readEditorTextFile(context, parser.value(translationFile));
        if (!text)
            return text.status();
        edits.translation = *text;
    }
    if (parser.isSet(comment))
        edits.comment = withCrLf(parser.value(comment));
    if (parser.isSet(revised))
        edits.revised = revisedValue == u"1";

    // The node's text as the tree built it.
    const BlockAddress &at = *load->address;
    const QString nodeText = QString::number(at.number) + (load->comment.isEmpty() ? QString() : u"[c]"_s);
    const QString key = blockKey(at.table, at.fileName, at.number);
    const Result<BlockSave> saved = store->saveBlock(key, nodeText, edits, &*load->stored);
    if (!saved)
        return context.fail(saved.error().message);
    const BlockSave &save = *saved;
    if (!save.historyProblem.isEmpty())
        context.err << save.historyProblem << Qt::endl;
    JsonLine line;
    line.add("text", save.nodeText).add("image", save.nodeImage);
    if (save.status)
        line.add("status", *save.status);
    else
        line.addNull("status");
    context.out << line.toString() << Qt::endl;
    return ExitSuccess;
}
