#pragma once

#include "store/nodekey.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// One entry of the translation memory; texts in the store's form.
struct MemoryEntry
{
    qint64 id = -1;
    BlockAddress block;
    QString original;
    QString translation;
    QString plain; // the original as the comparison sees it (comparableText)
};

// The translation memory's sidecar SQLite file: its entries and their FTS5
// trigram index. It is not the store, so values are bound as parameters.
// A file that is missing, damaged or of another version is made anew: it
// holds nothing that sync cannot bring back from the store.
//
// Thread contract: the thread that opened it.
class MemoryFile
{
public:
    MemoryFile();
    ~MemoryFile();

    bool open(const QString &path);
    bool isOpen() const;
    // The last failure, naming the file; fail() sets it and returns false.
    const QString &error() const;
    bool fail(const QString &what);

    bool begin();
    bool commit();
    void rollback();

    qint64 largestId();
    bool clear();
    bool readAll(const std::function<void(MemoryEntry &&)> &take);
    std::optional<MemoryEntry> find(const BlockAddress &block);
    std::optional<MemoryEntry> byId(qint64 id);
    // The new entry's id; -1 on failure.
    qint64 insert(const MemoryEntry &entry);
    bool change(const MemoryEntry &entry, const QString &oldPlain);
    bool remove(qint64 id, const QString &plain);

    // While on, the trigram index is left alone; rebuildTrigrams() then
    // fills it in one pass, far quicker than row by row for a whole store.
    void setBulk(bool on);
    bool rebuildTrigrams();

    // The ids of the entries holding a trigram (three characters, folded or
    // not: the index ignores letter case).
    bool idsWithTrigram(QStringView trigram, const std::function<void(qint64)> &each);
    std::vector<qint64> idsWithPlain(const QString &plain);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
