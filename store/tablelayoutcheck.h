#pragma once

#include <QString>
#include <QStringList>

struct sqlite3;

// What makes an open file unfit to be used as the store, before anything is
// written to it; empty when it is fit. A file without any table (an empty
// file, say) is no store the program made. A script table or `suggestion`
// whose columns stand in another order would be read by position into the
// wrong fields. A missing table is left to the statements that use it.
QString layoutProblem(sqlite3 *db);

// Which of the store's own tables (the three script tables and `suggestion`)
// the file lacks, in that order; the store's check at start-up names them.
QStringList missingStoreTables(sqlite3 *db);
