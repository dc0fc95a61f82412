#include "keeping/storecheck.h"

#include "keeping/backup.h"
#include "store/layout.h"
#include "store/sqlitehandle.h"
#include "store/tablelayoutcheck.h"
#include "store/storetext.h"

#include <QDir>
#include <QLocale>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

Failure problem(const QString &what)
{
    return Failure{what, {}, 0};
}

} // namespace

Result<Done> checkStoreFile(const QString &path)
{
    // Read and write, as every window opens it: a store in WAL mode cannot be
    // read through a read-only connection when its shared memory is missing.
    const Result<SqliteHandle> opened = openSqlite(path, SQLITE_OPEN_READWRITE);
    if (!opened)
        return problem(opened.error().message);
    const SqliteHandle &db = *opened;
    // Reading the pages through a memory map costs a third less processor
    // time than copying each into the cache; the check reads every page once.
    execSqlite(db.get(), u"PRAGMA mmap_size=268435456"_s);
    // SQLite stops at 100 findings; the first few say enough.
    sqlite3_stmt *raw = nullptr;
    int rc = sqlite3_prepare_v2(db.get(), "PRAGMA quick_check(3)", -1, &raw, nullptr);
    QStringList findings;
    while (rc == SQLITE_OK && (rc = sqlite3_step(raw)) == SQLITE_ROW) {
        findings << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(raw, 0)));
        rc = SQLITE_OK;
    }
    sqlite3_finalize(raw);
    if (rc != SQLITE_DONE)
        return problem(sqliteMessage(db.get()));
    if (findings != QStringList{u"ok"_s})
        return problem(findings.join(u"; "_s));
    const QStringList missing = missingStoreTables(db.get());
    if (!missing.isEmpty())
        return problem(u"the tables %1 are missing"_s.arg(missing.join(u", "_s)));
    return Done{};
}

QString damagedStoreMessage(const QString &programFolder, const QString &problem)
{
    const QString store = QDir::toNativeSeparators(QDir(programFolder).filePath(StoreFileName));
    QString text = u"The store %1 is damaged: %2."_s.arg(store, problem);
    const std::vector<Backups::BackupInfo> backups = Backups::listBackups(programFolder);
    if (backups.empty())
        return text + u"\r\nThere is no backup of it in %1. Keep a copy of the file before anything else "
                      "writes to it."_s.arg(QDir::toNativeSeparators(QDir(programFolder).filePath(Backups::FolderName)));
    const Backups::BackupInfo &newest = backups.front();
    return text
        + u"\r\nThe newest backup is %1, made %2 (%3).\r\nTo put it back, choose Tools, Restore from Backup…, "
          "or run: tallowpen-cli restore %1\r\nThe store as it is now is copied into the backups folder first."_s.arg(
              newest.file, QLocale::system().toString(newest.time, QLocale::ShortFormat), newest.reason);
}
