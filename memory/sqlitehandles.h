#pragma once

#include <QString>

#include <sqlite3.h>

#include <memory>

// The memory's own files (its sidecar and an outside memory) are read through
// the SQLite C library directly; these own its handles.
namespace SqliteHandles {

struct Closer
{
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
struct Finalizer
{
    void operator()(sqlite3_stmt *s) const { sqlite3_finalize(s); }
};
using Connection = std::unique_ptr<sqlite3, Closer>;
using Statement = std::unique_ptr<sqlite3_stmt, Finalizer>;

inline QString columnText(sqlite3_stmt *s, int column)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, column)),
                             sqlite3_column_bytes(s, column));
}

} // namespace SqliteHandles
