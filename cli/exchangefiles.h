#pragma once

#include "cli/command.h"
#include "exchange/exchangeblock.h"

#include <QByteArray>

class QCommandLineParser;
struct TranslationImport;

// What the exchange commands share: the files named on the command line,
// the scope options of the exports and the report of an import.
OrStop<QByteArray> readNamedFile(CliContext &context, const QString &path);
std::optional<Stop> writeNamedFile(CliContext &context, const QString &path, const QByteArray &bytes);

void addScopeOptions(QCommandLineParser &parser);
// The scope the options give; stops on an unknown folder.
OrStop<ExchangeScope> scopeFromOptions(CliContext &context, const QCommandLineParser &parser);
OrStop<ExchangeBlocks> readScope(CliContext &context, Database &db, const ExchangeScope &scope);
// The blocks a translation export names: the store opened, the scope options
// and --only-untranslated read. `parser` holds the command's one positional
// argument already.
OrStop<ExchangeBlocks> readExportBlocks(CliContext &context, QCommandLineParser &parser, Database &db,
                                        const QStringList &arguments);

// One JSON line per unit saved or passed over, the summary on stderr.
int reportImport(CliContext &context, const TranslationImport &import, bool dryRun);
