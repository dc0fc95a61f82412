#include "app/serverbatch.h"

#include "project/workingcopy.h"
#include "server/serverstore.h"
#include "files/programfolder.h"
#include "store/database.h"
#include "store/layout.h"
#include "ui/messages.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

// `work` on a thread of its own with a server connection of its own, while
// the window shows that it waits and keeps answering.
template <typename T>
Result<T> onServerThread(QWidget &window, const QString &address, const QString &label,
                         const std::function<Result<T>(ServerStore &)> &work)
{
    std::optional<Result<T>> result;
    QThread *thread = QThread::create([&] {
        Result<ServerStore> server = ServerStore::open(address);
        result = server ? work(*server) : Result<T>(server.error());
    });
    QProgressDialog progress(label, QString(), 0, 0, &window);
    progress.setCancelButton(nullptr);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    QEventLoop loop;
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    delete thread;
    return std::move(*result);
}

} // namespace

ServerBatch::ServerBatch(QWidget &window, Database &db, const QString &programFolder, ServerStore *server)
    : QObject(&window)
    , m_window(window)
    , m_db(db)
    , m_programFolder(programFolder)
    , m_address(server ? server->connection().address() : QString())
{
}

ServerBatch::~ServerBatch() = default;

QString ServerBatch::storePath() const
{
    return onServer() ? WorkingCopy::pathIn(m_programFolder) : programPath(m_programFolder, StoreFileName);
}

bool ServerBatch::copy()
{
    emit aboutToCopy();
    m_copy = std::make_unique<WorkingCopy>(m_programFolder);
    WorkingCopy &copy = *m_copy;
    const Result<Done> taken = onServerThread<Done>(m_window, m_address, u"Copying the team's store..."_s,
                                                    [&copy](ServerStore &server) { return copy.take(server); });
    if (!taken) {
        m_copy.reset();
        Messages::inform(&m_window, taken.error().message + u" Nothing was changed."_s);
        return false;
    }
    if (const Result<Done> opened = openStore(m_db, m_copy->path()); !opened) {
        m_copy.reset();
        Messages::inform(&m_window, opened.error().message);
        return false;
    }
    return true;
}

void ServerBatch::run(const QString &what, const std::function<void()> &work)
{
    // Nested (a feature that starts another): the outer run's copy serves.
    if (!onServer() || m_copy)
        return work();
    if (!copy())
        return;
    work();
    m_db.close();
    WorkingCopy &copy = *m_copy;
    const Result<qint64> written = onServerThread<qint64>(
        m_window, m_address, u"Saving on the team's server..."_s,
        [&copy, &what](ServerStore &server) { return copy.writeBack(server, what); });
    if (written && *written > 0)
        keepBatch();
    m_copy.reset();
    emit batchEnded();
    if (!written)
        Messages::inform(&m_window, written.error().message);
}

void ServerBatch::keepBatch()
{
    if (const QString why = keepWrittenBatch(m_programFolder, m_address, *m_copy); !why.isEmpty())
        Messages::inform(&m_window, why);
}

Result<std::optional<ServerBatchRecord>> ServerBatch::lastBatch() const
{
    return lastServerBatch(m_programFolder, m_address);
}

Result<qint64> ServerBatch::undo(const ServerBatchRecord &batch)
{
    const QString folder = m_programFolder;
    const Result<qint64> undone =
        onServerThread<qint64>(m_window, m_address, u"Undoing the batch on the team's server..."_s,
                               [&](ServerStore &server) { return undoServerBatch(server, folder, batch); });
    if (undone)
        emit batchEnded();
    return undone;
}

void ServerBatch::read(const std::function<void()> &work)
{
    if (!onServer() || m_copy)
        return work();
    if (!copy())
        return;
    work();
    m_db.close();
    m_copy.reset();
}

Backups::Outcome ServerBatch::restore(const QString &file)
{
    if (!onServer())
        return Backups::restoreBackup(m_programFolder, file);
    emit aboutToCopy();
    const QString folder = m_programFolder;
    const Result<Backups::Outcome> outcome = onServerThread<Backups::Outcome>(
        m_window, m_address, u"Restoring the backup on the team's server..."_s,
        [&](ServerStore &server) -> Result<Backups::Outcome> { return restoreOnServer(server, folder, file); });
    return outcome ? *outcome : Backups::Outcome(Backups::backupFailure(outcome.error().message));
}
