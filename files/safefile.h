#pragma once

#include "store/result.h"

#include <QByteArray>
#include <QString>

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

// Gives the file `from` the name `to` only when no file has that name, in
// one step another process cannot come between. QFile::rename is no use
// here: when the name is taken in a race it falls back to copying over it,
// truncating the other process's file.
bool renameNoReplace(const QString &from, const QString &to);

} // namespace SafeFile
