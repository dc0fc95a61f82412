#pragma once

#include <QString>

struct sqlite3;

// What makes an open file unfit to be used as the store, before anything is
// written to it; empty when it is fit. A file without any table (an empty
// file, say) is no store the program made. A script table or `suggestion`
// whose columns stand in another order would be read by position into the
// wrong fields. A missing table is left to the statements that use it.
QString layoutProblem(sqlite3 *db);
