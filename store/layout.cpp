#include "store/layout.h"

#include "store/plannerstats.h"
#include "store/sqlitehandle.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

bool ScriptTables::contains(const QString &name)
{
    return name == battlingArena || name == battleScript || name == field;
}

namespace {

QString scriptTableDefinition(const QString &table)
{
    // No key or unique constraint: duplicates must reach the program, which
    // reports them when a block is opened.
    return u"CREATE TABLE %1 ("
           "file_name TEXT, dialogue_id INTEGER, text_data TEXT, width INTEGER, height INTEGER, "
           "comments TEXT, translated INTEGER, revised INTEGER, text_data_t TEXT, "
           "new_width INTEGER, new_height INTEGER);"
           "CREATE INDEX %1_block ON %1 (file_name, dialogue_id);"
           // The status line counts translated blocks after every save; this
           // spares it a scan through every block's text.
           "CREATE INDEX %1_translated ON %1 (translated);"_s.arg(table);
}

} // namespace

Result<Done> createStore(const QString &path)
{
    auto failWith = [](int code, const QString &message) { return Failure{message, {}, code}; };
    // A dangling link "does not exist", and SQLite would create its target
    // wherever it points.
    if (QFileInfo(path).isSymLink())
        return failWith(0,
                        u"%1 is a symbolic link; the store is created only in the program folder itself."_s.arg(path));
    if (QFileInfo::exists(path))
        return failWith(0, u"%1 already exists; it was left as it is."_s.arg(path));

    QString schema;
    for (const QString &table : ScriptTables::all)
        schema += scriptTableDefinition(table);
    schema += u"CREATE TABLE suggestion (word TEXT, suggest1 TEXT, suggest2 TEXT, suggest3 TEXT, "
              "suggest4 TEXT, suggest5 TEXT, comment TEXT);"
              "CREATE INDEX suggestion_word ON suggestion (word);"_s;

    sqlite3 *raw = nullptr;
    const QByteArray file = path.toUtf8();
    int rc = sqlite3_open_v2(file.constData(), &raw,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW, nullptr);
    SqliteHandle db(raw);
    if (rc != SQLITE_OK) {
        const QString why = QString::fromUtf8(db ? sqlite3_errmsg(db.get()) : sqlite3_errstr(rc));
        return failWith(rc, u"Cannot create %1: %2"_s.arg(path, why));
    }
    char *message = nullptr;
    const QByteArray sql = (u"BEGIN;"_s + schema + u"COMMIT;"_s).toUtf8();
    rc = sqlite3_exec(db.get(), sql.constData(), nullptr, nullptr, &message);
    if (rc == SQLITE_OK)
        rc = writePlannerStatistics(db.get());
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db.get(), "PRAGMA journal_mode=WAL;", nullptr, nullptr, &message);
    const QString why = QString::fromUtf8(message ? message : sqlite3_errstr(rc));
    sqlite3_free(message);
    db.reset();
    if (rc != SQLITE_OK) {
        QFile::remove(path);
        return failWith(rc, u"Cannot create the tables in %1: %2"_s.arg(path, why));
    }
    return Done{};
}
