#include "memory/translationmemory.h"

#include "memory/blocktext.h"
#include "memory/memoryfile.h"
#include "memory/similarity.h"
#include "keeping/projectstore.h"
#include "store/layout.h"
#include "files/programfolder.h"
#include "store/storetext.h"

#include <QHash>

#include <algorithm>
#include <climits>

using namespace Qt::StringLiterals;

namespace {

// Trigrams asked of the index per search, and candidates measured exactly.
// On the benchmark corpus (40 words in all, so every trigram is common)
// these find every match a measure of all entries finds.
constexpr int SearchTerms = 24;
constexpr size_t MeasuredCandidates = 1000;
// Past this many changes a sync fills the trigram index in one pass.
constexpr size_t BulkChanges = 1000;

// A trigram folded as FTS5's trigram tokenizer folds it, in one number.
quint64 trigramKey(QStringView plain, qsizetype at)
{
    quint64 key = 0;
    for (qsizetype i = at; i < at + 3; ++i)
        key = (key << 16) | QChar(plain[i]).toCaseFolded().unicode();
    return key;
}

int tableRank(const QString &table)
{
    return int(std::find(ScriptTables::all.begin(), ScriptTables::all.end(), table) - ScriptTables::all.begin());
}

bool storeOrder(const MemoryEntry &a, const MemoryEntry &b)
{
    return std::tuple(tableRank(a.block.table), a.block.fileName, a.block.number)
        < std::tuple(tableRank(b.block.table), b.block.fileName, b.block.number);
}

// The entry's original as the comparison sees it, by id (ids are dense:
// SQLite gives each new row the next one); a null text where there is none.
struct Plain
{
    QString text;
    bool present = false;
};

} // namespace

struct TranslationMemory::Index
{
    MemoryFile file;
    std::vector<Plain> plains;
    qsizetype count = 0;
    QHash<quint64, int> trigrams; // how often each trigram occurs: the rarest are asked first

    const Plain *plain(qint64 id) const
    {
        return id >= 0 && id < qint64(plains.size()) && plains[size_t(id)].present ? &plains[size_t(id)] : nullptr;
    }
    void countTrigrams(const QString &text, int sign)
    {
        for (qsizetype i = 0; i + 3 <= text.size(); ++i)
            trigrams[trigramKey(text, i)] += sign;
    }
    void forget(qint64 id)
    {
        if (const Plain *known = plain(id)) {
            countTrigrams(known->text, -1);
            plains[size_t(id)] = {};
            --count;
        }
    }
    void remember(qint64 id, const QString &text)
    {
        forget(id);
        if (id >= qint64(plains.size()))
            plains.resize(size_t(id) + 1);
        plains[size_t(id)] = {text, true};
        ++count;
        countTrigrams(text, +1);
    }
    void forgetAll()
    {
        plains.clear();
        count = 0;
        trigrams.clear();
    }
    bool insert(MemoryEntry entry)
    {
        entry.plain = comparableText(entry.original);
        entry.id = file.insert(entry);
        if (entry.id >= 0)
            remember(entry.id, entry.plain);
        return entry.id >= 0;
    }
    bool change(MemoryEntry entry, const QString &oldPlain)
    {
        entry.plain = comparableText(entry.original);
        if (!file.change(entry, oldPlain))
            return false;
        if (entry.plain != oldPlain)
            remember(entry.id, entry.plain);
        return true;
    }
    bool remove(qint64 id, const QString &oldPlain)
    {
        forget(id);
        return file.remove(id, oldPlain);
    }
    bool applySync(QHash<QString, MemoryEntry> &rows);
    std::vector<quint64> searchTerms(const QString &text) const;
    std::vector<qint64> candidates(const QString &text);
};

TranslationMemory::TranslationMemory()
    : d(std::make_unique<Index>())
{
}

TranslationMemory::~TranslationMemory() = default;

QString TranslationMemory::sidecarPath(const QString &programFolder)
{
    return programPath(programFolder, u"tallowpen-memory.db"_s);
}

bool TranslationMemory::open(const QString &path)
{
    d->forgetAll();
    return d->file.open(path);
}

bool TranslationMemory::isOpen() const
{
    return d->file.isOpen();
}

qsizetype TranslationMemory::entryCount() const
{
    return d->count;
}

const QString &TranslationMemory::errorMessage() const
{
    return d->file.error();
}

bool TranslationMemory::sync(ProjectStore &store)
{
    if (!d->file.isOpen())
        return false;
    QHash<QString, MemoryEntry> rows;
    for (const QString &table : ScriptTables::all) {
        Result<std::vector<TranslatedRow>> found = store.translatedRows(table);
        if (!found)
            return d->file.fail(u"could not read the store: "_s + found.error().message);
        for (TranslatedRow &read : *found) {
            // Beyond 16 bits no key names the block; the editor cannot open it either.
            if (read.number < -32768 || read.number > 32767)
                continue;
            MemoryEntry row{-1, {table, read.fileName, qint16(read.number)}, std::move(read.original),
                            std::move(read.translation), {}};
            rows.insert(blockKey(table, row.block.fileName, row.block.number), std::move(row));
        }
    }
    if (!d->file.begin())
        return d->file.fail(u"is busy"_s);
    d->forgetAll();
    if (!d->applySync(rows)) {
        d->file.fail(u"could not be brought up to date"_s);
        d->file.rollback();
        d->forgetAll();
        return false;
    }
    return d->file.commit() || d->file.fail(u"could not be written"_s);
}

bool TranslationMemory::Index::applySync(QHash<QString, MemoryEntry> &rows)
{
    // Ids index a table in memory: a file whose ids ran far ahead of its
    // rows (many rewrites, or damage) starts over from 1.
    if (file.largestId() > 4 * qint64(rows.size()) + 100000 && !file.clear())
        return false;
    std::vector<MemoryEntry> gone, changed, added;
    const bool read = file.readAll([&](MemoryEntry &&entry) {
        const auto it = rows.find(blockKey(entry.block.table, entry.block.fileName, entry.block.number));
        if (it == rows.end())
            return gone.push_back(std::move(entry));
        remember(entry.id, entry.plain);
        if (it->original != entry.original || it->translation != entry.translation) {
            it->id = entry.id;
            it->plain = entry.plain; // the plain text it had, for its trigrams
            changed.push_back(std::move(*it));
        }
        rows.erase(it);
    });
    if (!read)
        return false;
    for (MemoryEntry &row : rows)
        added.push_back(std::move(row));
    // New entries in the store's own order, so that equal matches keep it.
    std::sort(added.begin(), added.end(), storeOrder);

    const bool bulk = gone.size() + changed.size() + added.size() > BulkChanges;
    file.setBulk(bulk);
    bool ok = true;
    for (size_t i = 0; ok && i < gone.size(); ++i)
        ok = file.remove(gone[i].id, gone[i].plain);
    for (size_t i = 0; ok && i < changed.size(); ++i)
        ok = change(changed[i], changed[i].plain);
    for (size_t i = 0; ok && i < added.size(); ++i)
        ok = insert(added[i]);
    file.setBulk(false);
    return ok && (!bulk || file.rebuildTrigrams());
}

bool TranslationMemory::update(const BlockAddress &block, const QString &storedOriginal,
                               const QString &storedTranslation)
{
    if (!d->file.isOpen())
        return false;
    const std::optional<MemoryEntry> known = d->file.find(block);
    const MemoryEntry row{known ? known->id : -1, block, storedOriginal, storedTranslation, {}};
    bool ok = true;
    if (storedTranslation.isEmpty()) {
        if (known)
            ok = d->remove(known->id, known->plain);
    } else if (!known) {
        ok = d->insert(row);
    } else if (known->original != storedOriginal || known->translation != storedTranslation) {
        ok = d->change(row, known->plain);
    }
    return ok || d->file.fail(u"could not take in the save"_s);
}

std::vector<quint64> TranslationMemory::Index::searchTerms(const QString &text) const
{
    // The rarest trigram of each word first, so that a changed name cannot
    // hide a copy whose other words are the same; then the rarest of the rest.
    std::vector<std::pair<int, quint64>> perWord, all;
    qsizetype wordStart = 0;
    for (qsizetype end = 0; end <= text.size(); ++end) {
        if (end < text.size() && text[end] != u' ')
            continue;
        std::pair<int, quint64> rarest{INT_MAX, 0};
        for (qsizetype t = wordStart; t + 3 <= end; ++t) {
            const quint64 key = trigramKey(text, t);
            if (const int occurs = trigrams.value(key); occurs > 0)
                rarest = std::min(rarest, {occurs, key});
        }
        if (rarest.first != INT_MAX)
            perWord.push_back(rarest);
        wordStart = end + 1;
    }
    for (qsizetype t = 0; t + 3 <= text.size(); ++t) {
        const quint64 key = trigramKey(text, t);
        if (const int occurs = trigrams.value(key); occurs > 0)
            all.emplace_back(occurs, key);
    }
    std::vector<quint64> terms;
    for (auto *list : {&perWord, &all}) {
        std::sort(list->begin(), list->end());
        for (const auto &[occurs, key] : *list) {
            if (terms.size() < size_t(SearchTerms) && std::find(terms.begin(), terms.end(), key) == terms.end())
                terms.push_back(key);
        }
    }
    return terms;
}

std::vector<qint64> TranslationMemory::Index::candidates(const QString &text)
{
    // An entry whose length is outside these bounds is less alike than the
    // minimum whatever it holds: the distance is at least the difference.
    const qsizetype longest = text.size() * 100 / TranslationMemory::MinimumSimilarity;
    const qsizetype shortest = (text.size() * TranslationMemory::MinimumSimilarity + 99) / 100;
    std::vector<quint8> hits(plains.size(), 0);
    std::vector<qint64> touched;
    for (const quint64 key : searchTerms(text)) {
        const QChar trigram[3] = {QChar(char16_t(key >> 32)), QChar(char16_t(key >> 16)), QChar(char16_t(key))};
        file.idsWithTrigram(QStringView(trigram, 3), [&](qint64 id) {
            const Plain *known = plain(id);
            if (known && known->text.size() >= shortest && known->text.size() <= longest && hits[size_t(id)]++ == 0)
                touched.push_back(id);
        });
    }
    // The entries holding the most of the asked trigrams are measured exactly.
    std::vector<std::pair<int, qint64>> ranked;
    ranked.reserve(touched.size());
    for (const qint64 id : touched)
        ranked.emplace_back(-int(hits[size_t(id)]), id);
    const size_t kept = std::min(ranked.size(), MeasuredCandidates);
    std::partial_sort(ranked.begin(), ranked.begin() + qsizetype(kept), ranked.end());
    std::vector<qint64> ids;
    for (size_t i = 0; i < kept; ++i)
        ids.push_back(ranked[i].second);
    // Equal texts are never left to the trigrams' luck.
    for (const qint64 id : file.idsWithPlain(text))
        ids.push_back(id);
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

std::vector<MemoryMatch> TranslationMemory::matches(const QString &storedOriginal,
                                                    const std::optional<BlockAddress> &except, int limit)
{
    std::vector<MemoryMatch> found;
    const QString text = comparableText(storedOriginal);
    // A block of tags alone has nothing to be like.
    if (!d->file.isOpen() || text.isEmpty() || limit < 1)
        return found;
    const std::optional<MemoryEntry> self = except ? d->file.find(*except) : std::nullopt;

    const EditDistance distance(text);
    std::vector<std::pair<int, qint64>> scored; // (-similarity, id): best first, then store order
    for (const qint64 id : d->candidates(text)) {
        const Plain *other = d->plain(id);
        if (!other || (self && self->id == id))
            continue;
        const int percent = similarityPercent(distance.to(other->text), text.size(), other->text.size());
        if (percent >= MinimumSimilarity)
            scored.emplace_back(-percent, id);
    }
    const size_t kept = std::min(scored.size(), size_t(limit));
    std::partial_sort(scored.begin(), scored.begin() + qsizetype(kept), scored.end());
    for (size_t i = 0; i < kept; ++i) {
        if (const auto entry = d->file.byId(scored[i].second)) {
            found.push_back({entry->block, -scored[i].first, fromStoreText(entry->original),
                             fromStoreText(entry->translation), {}});
        }
    }
    return found;
}
