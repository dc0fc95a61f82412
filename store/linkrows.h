#pragma once

#include "store/database.h"

#include <QString>

#include <array>
#include <vector>

// The statements on the word-link table (`suggestion`): the links imports',
// the link dialog's and the lists'.
//
// Thread contract: the caller's thread, with the caller's Database.

// A row of the word-link table: word, suggest1..5, comment.
using LinkColumns = std::array<QString, 7>;

// The links file's row: the word and its first suggestion, the other four
// and the comment empty.
QString linksInsertStatement(const QString &word, const QString &suggestion);
// How many rows the table holds for `word`.
Result<QVariant> countLinkRows(Database &db, const QString &word);

// Every row of the table in table order; a table that cannot be read is the
// engine's failure, never an empty table.
Result<std::vector<LinkColumns>> readLinkRows(Database &db);
// The rows of `word` (as the store keeps it) in table order: the lookup of a
// mouse move. The word goes into the statement as it is, also when empty.
Result<std::vector<LinkColumns>> linkRowsOf(Database &db, const QString &word);
// The link dialog's OK: UPDATE of the word's rows with `modify`, a new row
// otherwise; the five suggestions and the comment as typed. Typed text may
// hold an apostrophe, which would end the quoted value; it is mapped to a
// grave accent as the store maps all text, and so is the word. A refusal's
// message is a sentence for the user.
Result<Done> writeLink(Database &db, const QString &word, const std::array<QString, 6> &fields, bool modify);
Result<Done> eraseLinkRows(Database &db, const QString &word);
