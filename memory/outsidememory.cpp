#include "memory/outsidememory.h"

#include "memory/blocktext.h"
#include "memory/similarity.h"
#include "memory/sqlitehandles.h"
#include "files/programfolder.h"
#include "store/storetext.h"

#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

using namespace SqliteHandles;

struct Entry
{
    QString origin;
    QString original;
    QString translation;
    QString plain;
};

void bindText(sqlite3_stmt *s, int parameter, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(s, parameter, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

} // namespace

struct OutsideMemory::Private
{
    Connection db;
    QString path;
    QString error;
    std::vector<Entry> entries;

    bool fail(const QString &what)
    {
        error = u"The outside memory %1 %2: %3"_s.arg(path, what,
                                                      db ? QString::fromUtf8(sqlite3_errmsg(db.get())) : QString());
        return false;
    }
    bool exec(const char *sql) { return sqlite3_exec(db.get(), sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
};

OutsideMemory::OutsideMemory()
    : d(std::make_unique<Private>())
{
}

OutsideMemory::~OutsideMemory() = default;

QString OutsideMemory::filePath(const QString &programFolder)
{
    return programPath(programFolder, u"tallowpen-outside-memory.db"_s);
}

bool OutsideMemory::open(const QString &path)
{
    *d = Private();
    d->path = path;
    if (QFileInfo(path).isSymLink())
        return d->fail(u"is a link; put the file itself there"_s);
    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    d->db.reset(raw);
    if (rc != SQLITE_OK)
        return d->fail(u"cannot be opened"_s);
    sqlite3_busy_timeout(raw, 5000);
    if (!d->exec("CREATE TABLE IF NOT EXISTS unit (origin TEXT NOT NULL, original TEXT NOT NULL,"
                 " translation TEXT NOT NULL, UNIQUE (origin, original, translation))"))
        return d->fail(u"cannot be read"_s);
    sqlite3_stmt *rows = nullptr;
    if (sqlite3_prepare_v2(raw, "SELECT origin, original, translation FROM unit ORDER BY rowid", -1, &rows, nullptr)
        != SQLITE_OK)
        return d->fail(u"cannot be read"_s);
    const Statement statement(rows);
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(rows)) == SQLITE_ROW) {
        Entry entry{columnText(rows, 0), columnText(rows, 1), columnText(rows, 2), {}};
        entry.plain = comparableText(toStoreText(entry.original));
        d->entries.push_back(std::move(entry));
    }
    if (step != SQLITE_DONE) {
        d->entries.clear();
        return d->fail(u"cannot be read"_s);
    }
    return true;
}

bool OutsideMemory::isOpen() const
{
    return d->db != nullptr && d->error.isEmpty();
}

const QString &OutsideMemory::errorMessage() const
{
    return d->error;
}

qsizetype OutsideMemory::size() const
{
    return qsizetype(d->entries.size());
}

int OutsideMemory::add(const QString &origin, const std::vector<std::pair<QString, QString>> &pairs)
{
    if (!isOpen())
        return -1;
    sqlite3_stmt *raw = nullptr;
    if (!d->exec("BEGIN IMMEDIATE"))
        return d->fail(u"is busy"_s) ? 0 : -1;
    if (sqlite3_prepare_v2(d->db.get(), "INSERT OR IGNORE INTO unit VALUES (?1, ?2, ?3)", -1, &raw, nullptr)
        != SQLITE_OK) {
        d->fail(u"cannot be written"_s);
        d->exec("ROLLBACK");
        return -1;
    }
    const Statement insert(raw);
    std::vector<Entry> added;
    for (const auto &[original, translation] : pairs) {
        bindText(raw, 1, origin);
        bindText(raw, 2, original);
        bindText(raw, 3, translation);
        const int rc = sqlite3_step(raw);
        sqlite3_reset(raw);
        if (rc != SQLITE_DONE) {
            d->fail(u"cannot be written"_s);
            d->exec("ROLLBACK");
            return -1;
        }
        if (sqlite3_changes(d->db.get()) > 0)
            added.push_back({origin, original, translation, comparableText(toStoreText(original))});
    }
    if (!d->exec("COMMIT")) {
        d->fail(u"cannot be written"_s);
        d->exec("ROLLBACK");
        return -1;
    }
    for (Entry &entry : added)
        d->entries.push_back(std::move(entry));
    return int(added.size());
}

std::vector<MemoryMatch> OutsideMemory::matches(const QString &storedOriginal, int limit) const
{
    std::vector<MemoryMatch> found;
    const QString text = comparableText(storedOriginal);
    if (text.isEmpty() || limit < 1)
        return found;
    // Outside memories are small beside the store: each entry of a length
    // that could reach the minimum is measured.
    const qsizetype longest = text.size() * 100 / TranslationMemory::MinimumSimilarity;
    const qsizetype shortest = (text.size() * TranslationMemory::MinimumSimilarity + 99) / 100;
    const EditDistance distance(text);
    std::vector<std::pair<int, size_t>> scored;
    for (size_t i = 0; i < d->entries.size(); ++i) {
        const QString &other = d->entries[i].plain;
        if (other.size() < shortest || other.size() > longest)
            continue;
        const int percent = similarityPercent(distance.to(other), text.size(), other.size());
        if (percent >= TranslationMemory::MinimumSimilarity)
            scored.emplace_back(-percent, i);
    }
    const size_t kept = std::min(scored.size(), size_t(limit));
    std::partial_sort(scored.begin(), scored.begin() + qsizetype(kept), scored.end());
    for (size_t i = 0; i < kept; ++i) {
        const Entry &entry = d->entries[scored[i].second];
        found.push_back({{}, -scored[i].first, entry.original, entry.translation, entry.origin});
    }
    return found;
}

std::vector<MemoryMatch> mergedMatches(std::vector<MemoryMatch> own, const std::vector<MemoryMatch> &outside,
                                       int limit)
{
    own.insert(own.end(), outside.begin(), outside.end());
    std::stable_sort(own.begin(), own.end(),
                     [](const MemoryMatch &a, const MemoryMatch &b) { return a.similarity > b.similarity; });
    if (own.size() > size_t(std::max(limit, 0)))
        own.resize(size_t(std::max(limit, 0)));
    return own;
}
