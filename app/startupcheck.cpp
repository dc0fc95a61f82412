#include "app/startupcheck.h"

#include "app/ui/messages.h"
#include "store/backup.h"
#include "store/layout.h"
#include "store/plannerstats.h"
#include "store/programfolder.h"
#include "store/storecheck.h"

using namespace Qt::StringLiterals;

void prepareStoreAtStartUp(QWidget *parent, const QString &programFolder)
{
    const QString storePath = programPath(programFolder, StoreFileName);
    const StoreCheck check = checkStoreFile(storePath);
    if (!check.ok) {
        const QString message = damagedStoreMessage(programFolder, check.problem);
        const std::vector<Backups::BackupInfo> backups = Backups::listBackups(programFolder);
        if (backups.empty()) {
            Messages::inform(parent, message);
            return;
        }
        if (Messages::askWarning(parent, message + u"\r\n\r\nPut the newest backup back now?"_s)
            != Messages::Answer::Yes)
            return;
        const Backups::Outcome outcome = Backups::restoreBackup(programFolder, backups.front().file);
        Messages::inform(parent, outcome.ok ? u"The backup %1 was restored; the damaged store is kept as %2."_s.arg(
                                                  backups.front().file, outcome.file)
                                            : outcome.message);
        return;
    }
    // A damaged store is never copied over a good copy: this comes after the check.
    if (Backups::dailyBackupDue(programFolder)) {
        const Backups::Outcome daily = Backups::makeBackup(programFolder, Backups::Reason::Daily);
        if (!daily.ok)
            Messages::inform(parent, daily.message + u" The editor starts all the same; Tools, Restore from "
                                                     "Backup… lists the copies there are."_s);
    }
    ensurePlannerStatistics(storePath);
}
