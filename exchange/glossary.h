#pragma once

#include "store/result.h"

#include <QByteArray>
#include <QList>
#include <QString>

class Database;
struct LinkRow;

// The word links as a CSV glossary (RFC 4180, UTF-8): a header line
// "word,suggest1,suggest2,suggest3,suggest4,suggest5,comment", then one row
// per link. Texts as the editors show them (apostrophes).
QByteArray writeGlossary(const QList<LinkRow> &rows);

struct GlossaryRead
{
    QList<LinkRow> rows;
};
Result<GlossaryRead> readGlossary(const QByteArray &bytes);

struct GlossaryImport
{
    QString backup; // the copy made first, inside backups/
    int added = 0;
    int changed = 0;
    int unchanged = 0;
};
inline const QString GlossaryImportReason = QStringLiteral("glossary-import");

// A word not yet linked gets a new row; a linked word's row takes the
// glossary's suggestions and comment. After a backup, in one transaction.
Result<GlossaryImport> importGlossary(Database &db, const QList<LinkRow> &rows);
