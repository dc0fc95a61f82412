#include "cli/commands.h"
#include "cli/teamcommands.h"

#include "store/database.h"
#include "store/layout.h"
#include "files/programfolder.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <array>

using namespace Qt::StringLiterals;

namespace {

// One line per command.
constexpr std::array Commands = {
    CliCommand{"init", "Create an empty tallowpen.db in the program folder.", runInit},
    CliCommand{"search", "TEXT [--in translated|original|both|comments]: blocks holding a text.", runSearch},
    CliCommand{"spell", "(--text TEXT | --text-file PATH) [--language 1034]: the misspelt words of a text.",
               runSpell},
    CliCommand{"links", "Every word link, one JSON object per line.", runLinks},
    CliCommand{"links-import", "FILE: add the links of a links file.", runLinksImport},
    CliCommand{"link-set", "WORD [--suggest TEXT]... [--comment TEXT] [--modify]: add or modify a link.",
               runLinkSet},
    CliCommand{"link-erase", "WORD: erase the links of a word.", runLinkErase},
    CliCommand{"word-at", "(--text TEXT | --text-file PATH) POS: the word under a position.", runWordAt},
    CliCommand{"highlight", "(--text TEXT | --text-file PATH) [--line N]: the linked words of a text.",
               runHighlight},
    CliCommand{"render", "Draw a block's preview, or a text at a window size, into a PNG file.", runRender},
    CliCommand{"block", "TABLE FILE_NAME N: the block as a click on its node shows it (JSON).", runBlock},
    CliCommand{"save",
               "TABLE FILE_NAME N [--translation TEXT | --translation-file PATH] [--comment TEXT] [--revised 0|1]: "
               "[--expect-version N]: save a block as the automatic save does.",
               runSave},
    CliCommand{"export-list", "[--folder F] [--only-revised]: the scripts the export window lists (JSON lines).",
               runExportList},
    CliCommand{"export", "[--folder F] [--only-revised] [--include-untranslated] (--all | SCRIPT...): export.",
               runExport},
    CliCommand{"view", "TABLE FILE_NAME: the script text the view copies, in Windows-1252.", runView},
    CliCommand{"import-translated", "DIR: import translated scripts into the matching blocks.", runImportTranslated},
    CliCommand{"resize", "Resize a field block's window with arrow keys, as Alt+arrows do.", runResize},
    CliCommand{"import-original", "DIR [--yes]: import the original scripts (--yes empties a filled store).",
               runImportOriginal},
    CliCommand{"tree", "Print the script tree, one JSON object per node and line.", runTree},
    CliCommand{"status", "Print the translation status line (exit 1 when the store holds no blocks).", runStatus},
    CliCommand{"suggest", "TABLE FILE_NAME N [--limit 5]: translated blocks whose original is like the block's.",
               runSuggest},
    CliCommand{"stats", "[--folder F]: blocks, words and characters per script, translated and revised.", runStats},
    CliCommand{"backups", "The copies of the store in backups/, newest first (JSON lines).", runBackups},
    CliCommand{"backup", "[--reason TEXT]: copy the store into backups/.", runBackup},
    CliCommand{"restore", "FILE: put a copy back in place of the store (the store is copied first).", runRestore},
    CliCommand{"history", "TABLE FILE_NAME N: the earlier versions of a block, newest first (JSON lines).",
               runHistory},
    CliCommand{"check",
               "[--folder F] [--script FILE_NAME] [--rule ID]... [--errors-only] [--size WIDTH HEIGHT]: "
               "what will break on screen or in the files (JSON lines; exit 1 on errors).",
               runCheck},
    CliCommand{"server-init",
               "[--from-store]: set up the store in the empty server database (--from-store uploads tallowpen.db).",
               runServerInit},
    CliCommand{"pull", "Copy the server's store into backups/ (reason pull), ready for restore.", runPull},
    CliCommand{"watch", "[--for SECONDS]: one JSON line per change saved on the server, as it happens.", runWatch},
    CliCommand{"who", "Who is at which block on the server now (JSON lines).", runWho},
    CliCommand{"claim", "[--folder F] [--count N]: lease the next untranslated blocks nobody holds (JSON lines).",
               runClaim},
    CliCommand{"server-grant", "USER translator|reviewer|lead: give a user a team role on the server.",
               runServerGrant},
    CliCommand{"fit",
               "TABLE FILE_NAME N [--size WIDTH HEIGHT] [--dry-run] | --all [--folder F] [--dry-run]: "
               "re-wrap translations to their windows (JSON lines).",
               runFit},
    CliCommand{"export-xliff", "OUT.xlf [--folder F] [--script FILE_NAME] [--only-untranslated]: XLIFF 1.2 for "
               "translation tools.", runExportXliff},
    CliCommand{"import-xliff", "FILE [--dry-run]: save the translations an XLIFF file changed (JSON lines).",
               runImportXliff},
    CliCommand{"export-po", "OUT_DIR [--folder F] [--script FILE_NAME] [--only-untranslated]: one PO file per script.",
               runExportPo},
    CliCommand{"import-po", "DIR [--dry-run]: save the translations PO files changed (JSON lines).", runImportPo},
    CliCommand{"export-tmx", "OUT.tmx [--folder F] [--script FILE_NAME]: the translated blocks as TMX 1.4.",
               runExportTmx},
    CliCommand{"import-tmx", "FILE [--origin NAME]: add another memory's translations to the matches.",
               runImportTmx},
    CliCommand{"export-glossary", "OUT.csv: the word links as a CSV glossary.", runExportGlossary},
    CliCommand{"import-glossary", "FILE: add or change word links from a CSV glossary.", runImportGlossary},
    CliCommand{"mt", "TABLE FILE_NAME N: Apertium's draft of the block's translation (JSON).", runMt},
    CliCommand{"update-original",
               "DIR [--dry-run]: bring in a new version of the originals, keeping every translation (JSON lines).",
               runUpdateOriginal},
    CliCommand{"removed-blocks", "[--restore ID]: blocks an update of the originals took away (JSON lines).",
               runRemovedBlocks},
    CliCommand{"replace",
               "FIND REPLACEMENT [--in translated|comments] [--folder F] [--script FILE_NAME] [--match-case] "
               "[--whole-word] [--regex] [--dry-run]: replace in every block (JSON lines).",
               runReplace},
};

} // namespace

const CliCommand *findCommand(const QString &name)
{
    for (const CliCommand &command : Commands) {
        if (name == QLatin1StringView(command.name))
            return &command;
    }
    return nullptr;
}

QList<const CliCommand *> allCommands()
{
    QList<const CliCommand *> list;
    for (const CliCommand &command : Commands)
        list << &command;
    return list;
}

bool readsServerCopy(const CliCommand &command)
{
    static const QStringList names = {u"export"_s,     u"export-list"_s, u"view"_s,         u"stats"_s,
                                      u"links"_s,      u"render"_s,      u"highlight"_s,    u"suggest"_s,
                                      u"mt"_s,         u"export-xliff"_s, u"export-po"_s,   u"export-tmx"_s,
                                      u"export-glossary"_s};
    return names.contains(QLatin1StringView(command.name));
}

bool writesServerCopy(const CliCommand &command)
{
    static const QStringList names = {u"links-import"_s,      u"import-original"_s, u"import-translated"_s,
                                      u"update-original"_s,   u"fit"_s,             u"replace"_s,
                                      u"resize"_s,            u"import-xliff"_s,    u"import-po"_s,
                                      u"import-glossary"_s};
    return names.contains(QLatin1StringView(command.name));
}

bool needsServer(const CliCommand &command)
{
    static const QStringList names = {u"server-init"_s, u"pull"_s, u"watch"_s, u"who"_s, u"claim"_s,
                                      u"server-grant"_s};
    return names.contains(QLatin1StringView(command.name));
}

bool parseCommandLine(QCommandLineParser &parser, CliContext &context, const QStringList &arguments,
                      int minPositional, int maxPositional)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    if (!parser.parse(arguments)) {
        context.usage(parser.errorText());
        return false;
    }
    const qsizetype count = parser.positionalArguments().size();
    if (count < minPositional || (maxPositional >= 0 && count > maxPositional)) {
        context.usage(u"Wrong number of arguments for %1; see tallowpen-cli --help."_s.arg(arguments.value(0)));
        return false;
    }
    return true;
}

namespace {

QString commandStorePath(const CliContext &context)
{
    return context.storeFile.isEmpty() ? programPath(context.programFolder, StoreFileName) : context.storeFile;
}

} // namespace

bool programStoreExists(CliContext &context)
{
    if (QFileInfo(commandStorePath(context)).isFile())
        return true;
    context.fail(u"Required file 'tallowpen.db' is not in the program folder %1; create it with "
                 "'tallowpen-cli init'."_s.arg(context.programFolder));
    return false;
}

bool openProgramStore(Database &db, CliContext &context)
{
    if (!programStoreExists(context))
        return false;
    if (const Result<Done> opened = openStore(db, commandStorePath(context)); !opened) {
        context.fail(opened.error().message);
        return false;
    }
    return true;
}

std::optional<Stop> parseAndOpenStore(QCommandLineParser &parser, Database &db, CliContext &context,
                                      const QStringList &arguments, int minPositional, int maxPositional)
{
    if (!parseCommandLine(parser, context, arguments, minPositional, maxPositional))
        return Stop{ExitUsage};
    if (!openProgramStore(db, context))
        return Stop{ExitFailure};
    return std::nullopt;
}

bool checkTableName(CliContext &context, const QString &word)
{
    if (ScriptTables::contains(word))
        return true;
    context.usage(u"Unknown table %1: use battling_arena, battle_script or field."_s.arg(word));
    return false;
}
