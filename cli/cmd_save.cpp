#include "cli/blockarguments.h"
#include "cli/commands.h"
#include "cli/jsonline.h"
#include "cli/storeaccess.h"
#include "cli/textinput.h"
#include "server/serverstore.h"
#include "server/versioncheck.h"

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
    const QCommandLineOption expectVersion(u"expect-version"_s,
                                           u"Save only if the server's block is still at this version."_s, u"N"_s);
    parser.addOptions({translation, translationFile, comment, revised, expectVersion});
    if (!parseCommandLine(parser, context, arguments, 3, 3))
        return ExitUsage;
    if (parser.isSet(translation) && parser.isSet(translationFile))
        return context.usage(u"Give --translation or --translation-file, not both."_s);
    const QString revisedValue = parser.value(revised);
    if (parser.isSet(revised) && revisedValue != u"0" && revisedValue != u"1")
        return context.usage(u"--revised takes 0 or 1."_s);
    VersionGuard guard;
    if (parser.isSet(expectVersion)) {
        bool number = false;
        guard.expected = parser.value(expectVersion).toLongLong(&number);
        if (!number || *guard.expected < 1)
            return context.usage(u"--expect-version takes a version number (1 or more), as block prints it."_s);
        if (context.server.isEmpty())
            return context.usage(u"--expect-version works on a server store: give --server URI."_s);
    }

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
    // Only a server keeps versions; its save is held against the one read.
    auto *server = dynamic_cast<ServerStore *>(store.get());
    const Result<BlockSave> saved = server ? server->saveBlock(key, nodeText, edits, &*load->stored, &guard)
                                           : store->saveBlock(key, nodeText, edits, &*load->stored);
    if (!saved && VersionCheck::isConflict(saved.error())) {
        // The block as it stands now, for the caller to merge with.
        context.err << saved.error().message << Qt::endl;
        runBlock(context, QStringList{u"block"_s} + parser.positionalArguments());
        return ExitFailure;
    }
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
    // A caller that names versions names the one its save made next time.
    if (guard.expected && guard.saved)
        line.add("version", *guard.saved);
    context.out << line.toString() << Qt::endl;
    return ExitSuccess;
}
