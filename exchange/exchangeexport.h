#pragma once

#include "exchange/exchangeblock.h"

class Database;

// The exports the window offers, each as its command does it.
enum class ExchangeFormat { Xliff, Po, Tmx, Glossary };

struct ExchangeExport
{
    QString message; // what was written
    int blocks = 0;
};

// Writes `target` (a file; for PO, a folder made when missing), each file
// whole or not at all, never through a link inside `guardedFolder`; the
// failure says why nothing was.
Result<ExchangeExport> exportForTranslation(Database &db, ExchangeFormat format, const ExchangeScope &scope,
                                            const QString &target, const QString &guardedFolder);
