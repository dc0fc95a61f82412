#pragma once

#include "store/nodekey.h"

#include <QString>

#include <memory>
#include <optional>
#include <vector>

class ProjectStore;

// A block whose original is like the one asked about, with its translation.
struct MemoryMatch
{
    BlockAddress address;
    int similarity = 0; // whole per cent, 60 to 100
    QString original;    // as the editors show it (apostrophes)
    QString translation; // as the editors show it
    QString origin;      // empty for the store's own blocks; else where an outside memory came from
};

// The translation memory: every block of the store whose translation is not
// empty, found again by its original. The originals are compared with the
// tags left out (memory/blocktext.h) and ranked by their edit distance
// (memory/similarity.h); an FTS5 trigram index picks the candidates.
//
// The index is a cache in a sidecar SQLite file of its own beside the store,
// which keeps the store's layout as it is. A missing, damaged or outdated
// sidecar is made anew; sync() brings one left behind by an earlier run (or
// changed under it by another program) in line with the store, and update()
// keeps it current after each save. Nothing depends on it being there: when
// it cannot be used, matches() is empty and errorMessage() says why.
//
// Thread contract: the thread that opened it; one instance per sidecar and
// window (several processes may share the file: WAL, busy timeout).
class TranslationMemory
{
public:
    static constexpr int MinimumSimilarity = 60;

    TranslationMemory();
    ~TranslationMemory();
    TranslationMemory(const TranslationMemory &) = delete;
    TranslationMemory &operator=(const TranslationMemory &) = delete;

    // tallowpen-memory.db in the program folder.
    static QString sidecarPath(const QString &programFolder);

    // Opens the sidecar, making it anew when it is missing or unusable.
    bool open(const QString &path);
    bool isOpen() const;
    // Reads every translated block of the store and adds, changes or removes
    // entries until the index holds exactly those.
    bool sync(ProjectStore &store);
    // After a save of `block`: its entry follows the store (an empty
    // translation takes it out). Texts in stored form (grave accents).
    bool update(const BlockAddress &block, const QString &storedOriginal, const QString &storedTranslation);

    // Up to `limit` entries whose original is at least MinimumSimilarity per
    // cent like `storedOriginal`, best first (ties in the order the store
    // held them); `except` (the block asked about) is never among them.
    std::vector<MemoryMatch> matches(const QString &storedOriginal, const std::optional<BlockAddress> &except,
                                     int limit = 5);

    qsizetype entryCount() const;
    const QString &errorMessage() const;

private:
    struct Index;
    std::unique_ptr<Index> d;
};
