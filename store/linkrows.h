#pragma once

#include "store/database.h"

#include <QString>

// The statements of the links imports on the word-link table (`suggestion`);
// the link dialog's and the list's own are the links library's.
//
// Thread contract: the caller's thread, with the caller's Database.

// The links file's row: the word and its first suggestion, the other four
// and the comment empty.
QString linksInsertStatement(const QString &word, const QString &suggestion);
// How many rows the table holds for `word`.
Result<QVariant> countLinkRows(Database &db, const QString &word);
