#pragma once

#include <QString>

// An append-only folder takes new files but lets none be renamed or removed,
// so a QSaveFile in it writes its copy and fails only at commit(). False where
// the file system or the user cannot set the flag (ext4 and root can).
bool setAppendOnly(const QString &folder, bool on);
