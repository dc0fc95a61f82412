#include "cli/exchangefiles.h"

#include "cli/jsonline.h"
#include "exchange/translationimport.h"
#include "store/layout.h"
#include "files/safefile.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

OrStop<QByteArray> readNamedFile(CliContext &context, const QString &path)
{
    Result<QByteArray> bytes = SafeFile::readRegular(path);
    if (bytes)
        return std::move(*bytes);
    return context.fail(u"%1 could not be read: %2"_s.arg(path, bytes.error().message));
}

std::optional<Stop> writeNamedFile(CliContext &context, const QString &path, const QByteArray &bytes)
{
    QString why = SafeFile::sqliteFileRefusal(path);
    if (why.isEmpty()) {
        const Result<Done> written = SafeFile::writeWhole(path, bytes, context.programFolder);
        if (written)
            return std::nullopt;
        why = written.error().message;
    }
    return context.fail(u"%1 could not be written: %2 Nothing was written."_s.arg(path, why));
}

void addScopeOptions(QCommandLineParser &parser)
{
    parser.addOption({u"folder"_s, u"Only this folder (battling_arena, battle_script or field)."_s, u"F"_s});
    parser.addOption({u"script"_s, u"Only the script of this file name."_s, u"FILE_NAME"_s});
}

OrStop<ExchangeScope> scopeFromOptions(CliContext &context, const QCommandLineParser &parser)
{
    ExchangeScope scope;
    scope.folder = parser.value(u"folder"_s);
    scope.script = parser.value(u"script"_s);
    if (!scope.folder.isEmpty() && !checkTableName(context, scope.folder))
        return Stop{ExitUsage};
    return scope;
}

OrStop<ExchangeBlocks> readScope(CliContext &context, Database &db, const ExchangeScope &scope)
{
    Result<ExchangeBlocks> blocks = readExchangeBlocks(db, scope);
    if (!blocks)
        return context.fail(blocks.error().message);
    return std::move(*blocks);
}

OrStop<ExchangeBlocks> readExportBlocks(CliContext &context, QCommandLineParser &parser, Database &db,
                                        const QStringList &arguments)
{
    addScopeOptions(parser);
    const QCommandLineOption untranslated(u"only-untranslated"_s, u"Only the blocks without a translation."_s);
    parser.addOption(untranslated);
    if (const auto stop = parseAndOpenStore(parser, db, context, arguments, 1, 1))
        return *stop;
    auto scope = scopeFromOptions(context, parser);
    if (!scope)
        return Stop{ExitStatus(scope.status())};
    ExchangeScope wanted = *scope;
    wanted.onlyUntranslated = parser.isSet(untranslated);
    return readScope(context, db, wanted);
}

int reportImport(CliContext &context, const TranslationImport &import, bool dryRun)
{
    using Kind = TranslationImport::Kind;
    for (const TranslationImport::Line &line : import.lines) {
        static const char *const Names[] = {"saved", "would-save", "source-changed", "no-block", "not-saved"};
        JsonLine json;
        json.add("result", QString::fromLatin1(Names[int(line.kind)]))
            .add("table", line.address.table)
            .add("file_name", line.address.fileName)
            .add("dialogue_id", int(line.address.number));
        json.add(line.kind == Kind::Saved || line.kind == Kind::WouldSave ? "translation" : "reason", line.detail);
        context.out << json.toString() << Qt::endl;
    }
    for (const auto &[key, save] : import.saved) {
        if (!save.historyProblem.isEmpty())
            context.err << save.historyProblem << Qt::endl;
    }
    if (import.failure)
        return context.fail(import.failure->message);
    const int changed = import.count(dryRun ? Kind::WouldSave : Kind::Saved);
    context.err << (dryRun ? u"Dry run: %1 blocks would be saved"_s : u"%1 blocks saved"_s).arg(changed)
                << u", %1 unchanged, %2 with a changed original, %3 not in the store."_s
                       .arg(import.unchanged)
                       .arg(import.count(Kind::SourceChanged))
                       .arg(import.count(Kind::NoBlock));
    if (!import.backup.isEmpty())
        context.err << u" The store was copied first to backups/%1."_s.arg(import.backup);
    context.err << Qt::endl;
    return ExitSuccess;
}
