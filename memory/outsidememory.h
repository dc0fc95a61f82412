#pragma once

#include "memory/translationmemory.h"

#include <QString>

#include <memory>
#include <utility>
#include <vector>

// Translations brought in from other projects' memories, each marked with
// where it came from, offered beside the store's own matches. They live in
// tallowpen-outside-memory.db beside the store: unlike the index, nothing
// could make them again, so a file that cannot be read is reported and left
// as it is, never replaced.
//
// Thread contract: the thread that opened it.
class OutsideMemory
{
public:
    OutsideMemory();
    ~OutsideMemory();

    static QString filePath(const QString &programFolder);

    // Makes the file when it is missing; reads every entry into memory.
    bool open(const QString &path);
    bool isOpen() const;
    const QString &errorMessage() const;
    qsizetype size() const;

    // Pairs of original and translation as the editors show them. The
    // number of pairs that were new; -1 on failure, when none was added.
    int add(const QString &origin, const std::vector<std::pair<QString, QString>> &pairs);

    // As TranslationMemory::matches, with `origin` set on each.
    std::vector<MemoryMatch> matches(const QString &storedOriginal, int limit = 5) const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// The store's matches and the outside ones in one list, best first; on
// equal similarity the store's own come first.
std::vector<MemoryMatch> mergedMatches(std::vector<MemoryMatch> own, const std::vector<MemoryMatch> &outside,
                                       int limit);
