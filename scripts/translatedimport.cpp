#include "scripts/translatedimport.h"

#include "scripts/logging.h"
#include "scripts/scriptformat.h"
#include "store/layout.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

QString progressText(const QString &folder)
{
    if (folder == ScriptTables::battlingArena)
        return u"Importing Battling_arena scripts, please wait..."_s;
    if (folder == ScriptTables::battleScript)
        return u"Importing Battle_script scripts, please wait..."_s;
    return u"Importing Field scripts, please wait..."_s;
}

void tell(const TranslatedImportHooks &hooks, const QString &text)
{
    if (hooks.status)
        hooks.status(text);
}

} // namespace

QString translatedUpdateStatement(const QString &folder, const QString &fileName, qint16 number,
                                  const QString &storedText)
{
    // `comments` is left out on purpose: each block keeps its own comment
    // instead of taking whatever the comment box held during the import.
    return u"UPDATE "_s + folder + u" SET text_data_t = '"_s + storedText
        + u"', translated = 1, revised = 0 WHERE file_name = '"_s + fileName + u"' AND dialogue_id = "_s
        + QString::number(number) + u';';
}

QStringList translatedScriptFiles(const QString &base, const QString &folder)
{
    const QDir dir(base + u'/' + folder);
    return dir.entryList({u"*.txt"_s}, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
}

bool ImportTranslatedFolder(Database &db, const QString &base, const QString &folder,
                            const TranslatedImportHooks &hooks, QString *failure, int *blocks)
{
    const QStringList names = translatedScriptFiles(base, folder);
    ReaderSizes sizes; // not stored, but the reader carries them through the folder
    int done = 0;
    for (const QString &name : names) {
        if (hooks.progress)
            hooks.progress(done, int(names.size()));
        ++done;
        if (!name.contains(u'.'))
            continue;
        const QString shown = folder + u'\\' + name;
        // The name stands between quotes in every statement of the file.
        if (name.contains(u'\'')) {
            *failure = u"%1: a script file name cannot hold an apostrophe; rename the file."_s.arg(shown);
            return false;
        }
        tell(hooks, u"Importing file... "_s + shown);

        if (!db.begin()) {
            *failure = u"%1: %2"_s.arg(shown, db.lastError().message);
            return false;
        }
        QString statementError;
        auto store = [&](const ScriptBlock &block) {
            if (db.execute(translatedUpdateStatement(folder, name, block.number, block.text))) {
                if (blocks)
                    ++*blocks;
                return true;
            }
            statementError = u"%1, block %2: %3"_s.arg(shown, QString::number(block.number),
                                                       db.lastError().message);
            return false;
        };
        ReadFailure readFailure;
        const bool read = ReadScriptFile(base + u'/' + folder + u'/' + name, sizes, store, &readFailure,
                                         hooks.afterLine);
        // Blocks written before a failure stay written, as they would one by one.
        if (!db.commit()) {
            db.rollback();
            *failure = u"%1: %2"_s.arg(shown, db.lastError().message);
            return false;
        }
        if (!read) {
            *failure = statementError.isEmpty() ? folder + u'\\' + readFailure.message : statementError;
            return false;
        }
    }
    if (hooks.progress)
        hooks.progress(done, int(names.size()));
    return true;
}

TranslatedImportReport importTranslatedScripts(Database &db, const QString &base, const TranslatedImportHooks &hooks)
{
    TranslatedImportReport report;
    if (!QFileInfo::exists(base + u"/battle_script"_s))
        return report;
    report.validFolder = true;
    for (const QString &folder : ScriptTables::all) {
        tell(hooks, progressText(folder));
        QString failure;
        if (ImportTranslatedFolder(db, base, folder, hooks, &failure, &report.blocks)) {
            report.lastStatus = TranslatedImportDoneMessage;
        } else {
            qCWarning(lcScripts) << "translated import of" << folder << "stopped:" << failure;
            report.failures << failure;
            report.lastStatus = TranslatedFolderFailedMessage;
        }
        tell(hooks, report.lastStatus);
    }
    return report;
}
