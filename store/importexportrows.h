#pragma once

#include "store/database.h"

#include <QString>

#include <functional>

// The script tables' rows as the import of the originals and the export of
// the translations ask for them, on the SQLite store. The statements are the
// ones the program has always run, word for word.
//
// Thread contract: the caller's thread, with the caller's Database.

// The translated rows of a folder (table), only the revised ones when asked:
// the export's list.
QString exportListStatement(const QString &table, bool onlyRevised);
Result<ResultSet> exportListRows(Database &db, const QString &table, bool onlyRevised);

// The rows of one script the export writes: every row, or the translated
// ones, or the translated and revised ones.
QString exportScriptStatement(const QString &folder, const QString &script, bool onlyRevised,
                              bool includeUntranslated);
Result<ResultSet> exportedScriptRows(Database &db, const QString &folder, const QString &script, bool onlyRevised,
                                     bool includeUntranslated);

// Rows of the three script tables together, counted as the window counts
// them (every row read).
Result<qint64> scriptRowCount(Database &db);
// Whether any script table holds a row; a table that cannot be read counts
// as holding one.
bool holdsScriptRows(Database &db);

// The rows an import of the originals replaces: the blocks of the three
// tables and the word links. `before` hears each table's name before its
// rows go (battle_script, battling_arena, field, suggestion).
Result<Done> deleteImportedRows(Database &db, const std::function<void(const QString &table)> &before);

// The statement that stores one original block, untranslated.
QString originalInsertStatement(const QString &folder, const QString &name, qint16 number, const QString &text,
                                qint16 width, qint16 height);

// The rows of one file go in together or not at all, inside the caller's
// transaction.
Result<Done> beginFileRows(Database &db);
Result<Done> keepFileRows(Database &db);
void dropFileRows(Database &db);

// Stores the original blocks of one script file, each by the statement
// originalInsertStatement gives, built straight into UTF-8: the import runs
// one for every block, and the text in between and its copy cost as much as
// a fifth of SQLite's own work on it.
class OriginalRowWriter
{
public:
    OriginalRowWriter(Database &db, const QString &folder, const QString &name);
    // Fails without running anything when the text holds a zero character,
    // which cannot stand inside a statement.
    Result<Done> store(qint16 number, QStringView text, qint16 width, qint16 height);
    // The statement store() runs, as UTF-8.
    const QByteArray &statement(qint16 number, QStringView text, qint16 width, qint16 height);

private:
    Database &m_db;
    QByteArray m_start; // up to the block's number
    QByteArray m_statement;
};
