#include "files/safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace SafeFile {

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

Failure fail(const QString &text)
{
    return Failure{text, {}, 0};
}

QString limitText(qint64 limit)
{
    constexpr qint64 mb = 1024 * 1024;
    return limit % mb == 0 ? u"%1 MB"_s.arg(limit / mb) : u"%1 bytes"_s.arg(limit);
}

QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return u"a folder"_s;
    if (S_ISFIFO(mode))
        return u"a pipe (FIFO)"_s;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return u"a device"_s;
    if (S_ISSOCK(mode))
        return u"a socket"_s;
    return u"not a regular file"_s;
}

// Writes all of `bytes`, going on after short writes; a write that stores
// nothing without an error would loop forever, so it counts as one.
bool writeAll(int fd, const QByteArray &bytes, int &error)
{
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(std::min<qint64>(left, qint64(1) << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC;
            return false;
        }
        data += n;
        left -= n;
    }
    return true;
}

} // namespace

QString sqliteFileRefusal(const QString &path)
{
    // The name the path leads to, symbolic links resolved without opening anything.
    const QFileInfo info(path);
    const QString resolved = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    for (const QString &name : {info.fileName(), QFileInfo(resolved).fileName()}) {
        const QString lower = name.toLower();
        for (const QString &end : {u".db"_s, u".db-wal"_s, u".db-shm"_s, u".db-journal"_s}) {
            if (lower.endsWith(end))
                return u"it is a database file, which only the store's engine may open"_s;
        }
    }
    return {};
}

Result<QByteArray> readRegular(const QString &path, qint64 limit)
{
    if (const QString refusal = sqliteFileRefusal(path); !refusal.isEmpty())
        return fail(refusal);
    const QByteArray name = QFile::encodeName(path);
    struct stat before {};
    // stat() opens nothing: a FIFO is refused before anyone waits on it.
    if (::stat(name.constData(), &before) != 0)
        return fail(systemError(errno));
    if (!S_ISREG(before.st_mode))
        return fail(u"it is %1, not a regular file"_s.arg(kindOf(before.st_mode)));
    if (before.st_size > limit)
        return fail(u"it is larger than %1"_s.arg(limitText(limit)));

    // Non-blocking, so that a file swapped for a FIFO meanwhile cannot hang the open.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return fail(systemError(errno));
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_ino != before.st_ino
        || opened.st_dev != before.st_dev) {
        ::close(fd);
        return fail(u"it changed while it was opened"_s);
    }
    QByteArray data;
    data.resize(qsizetype(opened.st_size));
    qint64 total = 0;
    for (;;) {
        if (total == data.size()) {
            if (total >= limit + 1)
                break;
            data.resize(qsizetype(std::min<qint64>(limit + 1, total + 65536)));
        }
        const ssize_t n = ::read(fd, data.data() + total, size_t(data.size() - total));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            return fail(systemError(error));
        }
        if (n == 0)
            break;
        total += n;
    }
    ::close(fd);
    if (total > limit)
        return fail(u"it is larger than %1"_s.arg(limitText(limit)));
    data.truncate(qsizetype(total));
    return data;
}

QString symlinkOnTheWay(const QString &guardedFolder, const QString &path)
{
    const QString base = QDir::cleanPath(QDir(guardedFolder).absolutePath());
    const QString target = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (!target.startsWith(base + u'/'))
        return {};
    // Each step below the folder, the target last; the folder itself may be
    // a link the user made.
    qsizetype at = base.size();
    while (at >= 0) {
        at = target.indexOf(u'/', at + 1);
        const QString step = at < 0 ? target : target.left(at);
        struct stat info {};
        if (::lstat(QFile::encodeName(step).constData(), &info) == 0 && S_ISLNK(info.st_mode))
            return step;
    }
    return {};
}

namespace {

// The checks writeWhole makes of its target, then the bytes in a new file
// beside it (".NAME.XXXXXX", the target's mode), flushed when `flush` says
// so. Gives the temporary's name; on a failure nothing is left behind.
Result<QByteArray> writeTemporary(const QString &path, const QByteArray &bytes, const QString &guardedFolder,
                                  bool flush)
{
    if (const QString link = symlinkOnTheWay(guardedFolder, path); !link.isEmpty()) {
        const QString which = link == QDir::cleanPath(QFileInfo(path).absoluteFilePath())
            ? u"it"_s
            : QDir::toNativeSeparators(link);
        return fail(which + u" is a symbolic link, and nothing is written through links inside the program folder"_s);
    }
    if (const QString refusal = sqliteFileRefusal(path); !refusal.isEmpty())
        return fail(refusal);
    const QByteArray name = QFile::encodeName(path);
    struct stat existing {};
    const bool exists = ::lstat(name.constData(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        return fail(u"it is %1, which is not replaced"_s.arg(kindOf(existing.st_mode)));

    const QFileInfo info(path);
    QByteArray temporary = QFile::encodeName(info.absolutePath() + u"/."_s + info.fileName() + u".XXXXXX"_s);
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(systemError(errno));
    mode_t mode = existing.st_mode & 07777;
    if (!exists) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    int error = 0;
    if (::fchmod(fd, mode) != 0 || !writeAll(fd, bytes, error) || (flush && ::fsync(fd) != 0)) {
        if (error == 0)
            error = errno;
        ::close(fd);
        ::unlink(temporary.constData());
        return fail(systemError(error));
    }
    if (::close(fd) != 0) {
        error = errno;
        ::unlink(temporary.constData());
        return fail(systemError(error));
    }
    return temporary;
}

int openFolder(const QString &folder)
{
    return ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

} // namespace

Result<Done> writeWhole(const QString &path, const QByteArray &bytes, const QString &guardedFolder)
{
    const Result<QByteArray> temporary = writeTemporary(path, bytes, guardedFolder, true);
    if (!temporary)
        return temporary.error();
    if (::rename(temporary->constData(), QFile::encodeName(path).constData()) != 0) {
        const int error = errno;
        ::unlink(temporary->constData());
        return fail(systemError(error));
    }
    // The rename reaches the disk with its folder, where the file system lets
    // a folder be synced; the file itself is already safe.
    const int folder = openFolder(QFileInfo(path).absolutePath());
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return Done{};
}

ReplacementBatch::ReplacementBatch(const QString &guardedFolder)
    : m_guarded(guardedFolder)
{
}

ReplacementBatch::~ReplacementBatch()
{
    for (const Pending &pending : m_pending)
        ::unlink(pending.temporary.constData());
    for (const Folder &folder : m_folders)
        ::close(folder.handle);
}

Result<Done> ReplacementBatch::add(const QString &path, const QByteArray &bytes)
{
    // The folder is opened before anything is written into it: a sync of the
    // file system through it reports every write error from then on.
    const QString folderPath = QFileInfo(path).absolutePath();
    auto folder = std::find_if(m_folders.begin(), m_folders.end(),
                               [&](const Folder &known) { return known.path == folderPath; });
    if (folder == m_folders.end()) {
        const int handle = openFolder(folderPath);
        struct stat info {};
        if (handle < 0 || ::fstat(handle, &info) != 0) {
            const int error = errno;
            if (handle >= 0)
                ::close(handle);
            return fail(systemError(error));
        }
        m_folders.push_back({folderPath, handle, info.st_dev});
        folder = m_folders.end() - 1;
    }
    Result<QByteArray> temporary = writeTemporary(path, bytes, m_guarded, false);
    if (!temporary)
        return temporary.error();
    m_pending.push_back({std::move(*temporary), QFile::encodeName(path), folder->device});
    return Done{};
}

std::vector<QString> ReplacementBatch::commit()
{
    std::vector<QString> outcome(m_pending.size());
    // One sync per file system instead of one per file. Where that sync
    // reports an error (perhaps another program's file), each file is synced
    // alone, so that only the ones that did not reach the disk are left out.
    std::vector<dev_t> synced;
    for (const Folder &folder : m_folders) {
        if (std::find(synced.begin(), synced.end(), folder.device) != synced.end())
            continue;
        synced.push_back(folder.device);
        if (::syncfs(folder.handle) == 0)
            continue;
        for (size_t i = 0; i < m_pending.size(); ++i) {
            if (m_pending[i].device != folder.device)
                continue;
            const int fd = ::open(m_pending[i].temporary.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
            if (fd < 0 || ::fsync(fd) != 0)
                outcome[i] = systemError(errno);
            if (fd >= 0)
                ::close(fd);
        }
    }
    for (size_t i = 0; i < m_pending.size(); ++i) {
        if (outcome[i].isEmpty() && ::rename(m_pending[i].temporary.constData(), m_pending[i].target.constData()) != 0)
            outcome[i] = systemError(errno);
        if (!outcome[i].isEmpty())
            ::unlink(m_pending[i].temporary.constData());
    }
    m_pending.clear();
    // The renames reach the disk with their folders, each synced once.
    for (const Folder &folder : m_folders) {
        ::fsync(folder.handle);
        ::close(folder.handle);
    }
    m_folders.clear();
    return outcome;
}

bool renameNoReplace(const QString &from, const QString &to)
{
    // A hard link fails when the name exists; the old name then goes.
    const QByteArray source = QFile::encodeName(from), target = QFile::encodeName(to);
    if (::link(source.constData(), target.constData()) != 0)
        return false;
    ::unlink(source.constData());
    return true;
}

} // namespace SafeFile
