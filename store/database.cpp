#include "store/database.h"

#include "store/tablelayoutcheck.h"
#include "store/logging.h"
#include "store/unicodelike.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

struct StatementFinalizer
{
    void operator()(sqlite3_stmt *s) const { sqlite3_finalize(s); }
};
using StatementPtr = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// Refuses whatever could change the layout or reach beyond this one file; the
// program only ever reads and changes rows.
int authorize(void *, int action, const char *, const char *, const char *, const char *)
{
    switch (action) {
    case SQLITE_CREATE_INDEX:
    case SQLITE_CREATE_TABLE:
    case SQLITE_CREATE_TEMP_INDEX:
    case SQLITE_CREATE_TEMP_TABLE:
    case SQLITE_CREATE_TEMP_TRIGGER:
    case SQLITE_CREATE_TEMP_VIEW:
    case SQLITE_CREATE_TRIGGER:
    case SQLITE_CREATE_VIEW:
    case SQLITE_CREATE_VTABLE:
    case SQLITE_DROP_INDEX:
    case SQLITE_DROP_TABLE:
    case SQLITE_DROP_TEMP_INDEX:
    case SQLITE_DROP_TEMP_TABLE:
    case SQLITE_DROP_TEMP_TRIGGER:
    case SQLITE_DROP_TEMP_VIEW:
    case SQLITE_DROP_TRIGGER:
    case SQLITE_DROP_VIEW:
    case SQLITE_DROP_VTABLE:
    case SQLITE_ALTER_TABLE:
    case SQLITE_ATTACH:
    case SQLITE_DETACH:
    case SQLITE_PRAGMA:
    case SQLITE_ANALYZE:
        return SQLITE_DENY;
    default:
        return SQLITE_OK;
    }
}

QVariant columnValue(sqlite3_stmt *s, int column)
{
    switch (sqlite3_column_type(s, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(s, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(s, column));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, column)),
                                          sqlite3_column_bytes(s, column)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char *>(sqlite3_column_blob(s, column)),
                                   sqlite3_column_bytes(s, column)));
    default:
        return QVariant();
    }
}

} // namespace

bool ResultSet::next()
{
    if (m_current < m_rowCount)
        ++m_current;
    return m_current < m_rowCount;
}

QVariant ResultSet::value(int column) const
{
    if (m_current < 0 || m_current >= m_rowCount || column < 0 || column >= m_columnCount)
        return {};
    return m_cells[size_t(m_current * m_columnCount + column)];
}

void ResultSet::close()
{
    m_cells.clear();
    m_cells.shrink_to_fit();
    m_rowCount = 0;
    m_current = -1;
}

Database::Database() = default;

Database::~Database()
{
    close();
}

Result<Done> Database::open(const QString &path)
{
    close();
    m_path = path;
    m_readOnly = false;
    const QFileInfo file(path);
    // A store in a folder or file that cannot be written is still read:
    // without the journal's shared memory beside it, only as a file that no
    // one changes while it is open (nobody can, from this account).
    if (file.isFile() && (!file.isWritable() || !QFileInfo(file.absolutePath()).isWritable())) {
        const QByteArray uri = "file:" + QUrl::toPercentEncoding(file.absoluteFilePath(), "/");
        for (const char *mode : {"?mode=ro", "?mode=ro&immutable=1"}) {
            sqlite3 *raw = nullptr;
            const QByteArray name = uri + mode;
            const int rc = sqlite3_open_v2(name.constData(), &raw,
                                           SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
            SqliteHandle db(raw);
            if (rc == SQLITE_OK
                && sqlite3_exec(db.get(), "SELECT COUNT(*) FROM sqlite_schema", nullptr, nullptr, nullptr) == SQLITE_OK) {
                m_db = std::move(db);
                m_readOnly = true;
                return Done{};
            }
        }
    }
    sqlite3 *raw = nullptr;
    const QByteArray name = path.toUtf8();
    const int rc = sqlite3_open_v2(name.constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    // SQLite hands back a handle even when opening fails; it must be closed too.
    SqliteHandle db(raw);
    if (rc != SQLITE_OK) {
        const QString why = QString::fromUtf8(db ? sqlite3_errmsg(db.get()) : sqlite3_errstr(rc));
        return fail(rc, u"Cannot open the database file %1: %2"_s.arg(path, why));
    }
    m_db = std::move(db);
    return Done{};
}

Result<Done> Database::configure(const QString &options)
{
    if (!m_db)
        return fail(SQLITE_MISUSE, u"The database is not open."_s);
    if (!options.isEmpty() && options != ThrowawayCopy)
        return fail(SQLITE_MISUSE, u"Unknown database settings: %1"_s.arg(options));

    // Several windows hold the file at once: wait for a writer instead of
    // failing at once. WAL lets readers and the one writer go on together and
    // keeps the file whole if the program dies mid-write; NORMAL sync is
    // durable against a crash of the program and consistent after power loss,
    // losing at most the last autosave, which costs far fewer disk flushes.
    sqlite3_busy_timeout(m_db.get(), 5000);
    sqlite3_db_config(m_db.get(), SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(m_db.get(), SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    // Checked before the settings below, which would write to the file.
    if (const QString problem = layoutProblem(m_db.get()); !problem.isEmpty())
        return fail(SQLITE_NOTADB,
                    u"%1 cannot be used as the store: %2. Nothing was written to it."_s.arg(m_path, problem));
    // A file opened only for reading keeps the journal mode it has.
    const char *settings = m_readOnly              ? "PRAGMA synchronous=NORMAL;"
        : options == ThrowawayCopy ? "PRAGMA journal_mode=WAL; PRAGMA synchronous=OFF;"
                                   : "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;";
    char *message = nullptr;
    const int rc = sqlite3_exec(m_db.get(), settings, nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        const QString why = QString::fromUtf8(message ? message : sqlite3_errstr(rc));
        sqlite3_free(message);
        return fail(rc, u"%1 is not a usable database: %2"_s.arg(m_path, why));
    }
    sqlite3_set_authorizer(m_db.get(), authorize, nullptr);
    return Done{};
}

void Database::close()
{
    sqlite3_finalize(m_versionProbe);
    m_versionProbe = nullptr;
    if (m_db) {
        if (!sqlite3_get_autocommit(m_db.get()))
            sqlite3_exec(m_db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
        m_db.reset();
    }
}

Result<ResultSet> Database::query(const QString &statement)
{
    ResultSet rows;
    if (auto ran = run(statement, &rows, nullptr); !ran)
        return ran.error();
    return rows;
}

Result<QVariant> Database::execute(const QString &statement)
{
    QVariant out;
    if (auto ran = run(statement, nullptr, &out); !ran)
        return ran.error();
    return out;
}

Result<QVariant> Database::executeUtf8(QByteArrayView statement)
{
    QVariant out;
    if (auto ran = run(statement, nullptr, &out); !ran)
        return ran.error();
    return out;
}

Result<Done> Database::begin()
{
    return run(u"BEGIN IMMEDIATE"_s, nullptr, nullptr);
}

Result<Done> Database::commit()
{
    return run(u"COMMIT"_s, nullptr, nullptr);
}

Result<Done> Database::rollback()
{
    return run(u"ROLLBACK"_s, nullptr, nullptr);
}

void Database::abandon()
{
    if (inTransaction())
        static_cast<void>(run(u"ROLLBACK"_s, nullptr, nullptr));
}

Result<Done> Database::useUnicodeLike()
{
    if (!m_db)
        return fail(SQLITE_MISUSE, u"The database is not open."_s);
    const int rc = installUnicodeLike(m_db.get());
    if (rc != SQLITE_OK)
        return fail(rc, u"Cannot set up the search rule: %1"_s.arg(QString::fromUtf8(sqlite3_errmsg(m_db.get()))));
    return Done{};
}

qint64 Database::changedRows() const
{
    return m_db ? sqlite3_total_changes64(m_db.get()) : 0;
}

qint64 Database::dataVersion()
{
    if (!m_db)
        return -1;
    // The pager learns of other connections' commits only when a read starts.
    if (sqlite3_get_autocommit(m_db.get())) {
        if (!m_versionProbe)
            sqlite3_prepare_v2(m_db.get(), "SELECT 1 FROM sqlite_schema LIMIT 0", -1, &m_versionProbe, nullptr);
        sqlite3_step(m_versionProbe);
        sqlite3_reset(m_versionProbe);
    }
    unsigned int version = 0;
    if (sqlite3_file_control(m_db.get(), "main", SQLITE_FCNTL_DATA_VERSION, &version) != SQLITE_OK)
        return -1;
    return version;
}

bool Database::inTransaction() const
{
    return m_db && !sqlite3_get_autocommit(m_db.get());
}

Result<Done> Database::run(const QString &statement, ResultSet *rows, QVariant *out)
{
    return run(QByteArrayView(statement.toUtf8()), rows, out);
}

Result<Done> Database::run(QByteArrayView sql, ResultSet *rows, QVariant *out)
{
    if (!m_db)
        return fail(SQLITE_MISUSE, u"The database is not open."_s);

    const char *tail = nullptr;
    sqlite3_stmt *raw = nullptr;
    int rc = sqlite3_prepare_v2(m_db.get(), sql.constData(), int(sql.size()), &raw, &tail);
    StatementPtr stmt(raw);
    if (rc != SQLITE_OK)
        return fail(rc, u"The database refused the statement: %1"_s.arg(QString::fromUtf8(sqlite3_errmsg(m_db.get()))));
    if (!stmt)
        return fail(SQLITE_MISUSE, u"The statement is empty."_s);

    // Whatever follows the first statement must be blanks or comments: preparing
    // it must yield nothing. Anything else is a second statement (or garbage
    // after the first) and nothing of the text runs.
    const char *end = sql.constData() + sql.size();
    if (tail && tail < end) {
        sqlite3_stmt *second = nullptr;
        const int tailRc = sqlite3_prepare_v2(m_db.get(), tail, int(end - tail), &second, nullptr);
        const bool more = tailRc != SQLITE_OK || second != nullptr;
        sqlite3_finalize(second);
        if (more) {
            qCWarning(lcStore) << "refused a text holding more than one statement";
            return fail(SQLITE_MISUSE,
                        u"The statement was refused because its text holds more than one statement."_s);
        }
    }

    const bool readOnly = sqlite3_stmt_readonly(stmt.get());
    if (rows && !readOnly)
        return fail(SQLITE_MISUSE, u"Only a SELECT can be run as a query."_s);
    if (m_readOnly && !readOnly)
        return fail(SQLITE_READONLY, readOnlyMessage());

    const int columns = sqlite3_column_count(stmt.get());
    if (rows)
        rows->m_columnCount = columns;
    bool first = true;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
        if (rows) {
            for (int c = 0; c < columns; ++c)
                rows->m_cells.push_back(columnValue(stmt.get(), c));
            ++rows->m_rowCount;
        } else if (first && out && columns > 0) {
            *out = columnValue(stmt.get(), 0);
        }
        first = false;
    }
    if (rc != SQLITE_DONE) {
        if (rows)
            rows->close();
        if ((rc & 0xff) == SQLITE_READONLY)
            return fail(rc, readOnlyMessage());
        return fail(rc, u"The database could not run the statement: %1"_s.arg(QString::fromUtf8(sqlite3_errmsg(m_db.get()))));
    }
    return Done{};
}

QString Database::readOnlyMessage() const
{
    return u"%1 can only be read: the file or its folder %2 is not writable, so nothing was changed. "
           "Make the folder writable, or copy it to one that is, to save."_s.arg(
               QFileInfo(m_path).fileName(), QDir::cleanPath(QFileInfo(m_path).absolutePath()));
}

Failure Database::fail(int code, const QString &message)
{
    qCDebug(lcStore) << message;
    return {message, {}, code};
}

Result<Done> openStore(Database &db, const QString &path)
{
    if (auto opened = db.open(path); !opened)
        return opened;
    return db.configure(QString());
}
