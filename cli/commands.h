#pragma once

#include "cli/command.h"

// The commands' bodies, one file each (cmd_<name>.cpp).
int runInit(CliContext &context, const QStringList &arguments);
int runExportXliff(CliContext &context, const QStringList &arguments);
int runImportXliff(CliContext &context, const QStringList &arguments);
int runExportPo(CliContext &context, const QStringList &arguments);
int runImportPo(CliContext &context, const QStringList &arguments);
int runExportTmx(CliContext &context, const QStringList &arguments);
int runImportTmx(CliContext &context, const QStringList &arguments);
int runExportGlossary(CliContext &context, const QStringList &arguments);
int runImportGlossary(CliContext &context, const QStringList &arguments);
int runMt(CliContext &context, const QStringList &arguments);
int runSearch(CliContext &context, const QStringList &arguments);
int runSpell(CliContext &context, const QStringList &arguments);
int runLinks(CliContext &context, const QStringList &arguments);
int runLinksImport(CliContext &context, const QStringList &arguments);
int runLinkSet(CliContext &context, const QStringList &arguments);
int runLinkErase(CliContext &context, const QStringList &arguments);
int runWordAt(CliContext &context, const QStringList &arguments);
int runHighlight(CliContext &context, const QStringList &arguments);
int runRender(CliContext &context, const QStringList &arguments);
int runResize(CliContext &context, const QStringList &arguments);
int runImportOriginal(CliContext &context, const QStringList &arguments);
int runTree(CliContext &context, const QStringList &arguments);
int runStatus(CliContext &context, const QStringList &arguments);
int runSuggest(CliContext &context, const QStringList &arguments);
int runStats(CliContext &context, const QStringList &arguments);
int runBlock(CliContext &context, const QStringList &arguments);
int runSave(CliContext &context, const QStringList &arguments);
int runExportList(CliContext &context, const QStringList &arguments);
int runExport(CliContext &context, const QStringList &arguments);
int runView(CliContext &context, const QStringList &arguments);
int runImportTranslated(CliContext &context, const QStringList &arguments);
int runBackups(CliContext &context, const QStringList &arguments);
int runBackup(CliContext &context, const QStringList &arguments);
int runRestore(CliContext &context, const QStringList &arguments);
int runHistory(CliContext &context, const QStringList &arguments);
int runCheck(CliContext &context, const QStringList &arguments);
int runFit(CliContext &context, const QStringList &arguments);
int runUpdateOriginal(CliContext &context, const QStringList &arguments);
int runRemovedBlocks(CliContext &context, const QStringList &arguments);
int runReplace(CliContext &context, const QStringList &arguments);
int runServerInit(CliContext &context, const QStringList &arguments);
int runPull(CliContext &context, const QStringList &arguments);
