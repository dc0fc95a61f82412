#pragma once

#include "store/result.h"

#include <QByteArray>
#include <QString>

#include <sys/types.h>
#include <vector>

// Files the program reads and writes other than the store: script texts,
// links files, editor texts and the exported scripts.
//
// Reading takes regular files only, up to a limit, so that a device, a FIFO
// or a huge file cannot fill the memory or block the window. Writing goes
// through a file beside the target, every write and the sync checked, and is
// renamed over the target only when all of it reached the disk: a file is
// whole or untouched. Neither opens the SQLite files: closing any descriptor
// of a file drops every lock the process holds on it, the store's included.
//
// Thread contract: none; plain system calls on the caller's thread.
namespace SafeFile {

inline constexpr qint64 ReadLimit = qint64(256) * 1024 * 1024;

// Why `path` must not be opened outside SQLite (the store, its journals, the
// history and memory files, the backups: every name ending ".db", "-wal",
// "-shm" or "-journal" after ".db"); empty when it may.
QString sqliteFileRefusal(const QString &path);

// Reads the whole of a regular file. A failure's message is a clause without
// the file's name, for the caller's sentence.
Result<QByteArray> readRegular(const QString &path, qint64 limit = ReadLimit);

// A symbolic link at or below `guardedFolder` on the way to `path` (the path
// itself included); empty when there is none or `path` lies outside it.
QString symlinkOnTheWay(const QString &guardedFolder, const QString &path);

// Replaces `path` with `bytes`, or leaves it as it was. Refuses to write
// through a symbolic link inside `guardedFolder`, and over anything that is
// not a regular file. A failure's message is a clause, as readRegular's.
Result<Done> writeWhole(const QString &path, const QByteArray &bytes, const QString &guardedFolder);

// Replaces many files, each whole or untouched as writeWhole replaces one,
// for one sync of the file system instead of one per file: every file is
// written beside its target first, then all of them are synced, and only
// then is each renamed over its target. After a crash a target is old or
// new, never partly written. What is added and not committed is removed.
class ReplacementBatch
{
public:
    explicit ReplacementBatch(const QString &guardedFolder);
    ~ReplacementBatch();
    ReplacementBatch(const ReplacementBatch &) = delete;
    ReplacementBatch &operator=(const ReplacementBatch &) = delete;

    // Writes `bytes` beside `path` with writeWhole's checks; `path` itself is
    // replaced by commit(). A failure's message is a clause, as writeWhole's.
    Result<Done> add(const QString &path, const QByteArray &bytes);
    // Per added file, in the order added: empty when it replaced its target,
    // else why the target was left as it was (a clause).
    std::vector<QString> commit();

private:
    struct Pending
    {
        QByteArray temporary;
        QByteArray target;
        dev_t device;
    };
    struct Folder
    {
        QString path;
        int handle;
        dev_t device;
    };
    QString m_guarded;
    std::vector<Pending> m_pending;
    std::vector<Folder> m_folders;
};

// Gives the file `from` the name `to` only when no file has that name, in
// one step another process cannot come between. QFile::rename is no use
// here: when the name is taken in a race it falls back to copying over it,
// truncating the other process's file.
bool renameNoReplace(const QString &from, const QString &to);

} // namespace SafeFile
