#include "scripts/translatedimport.h"

#include "scripts/logging.h"
#include "scripts/originalimport.h"
#include "scripts/scriptformat.h"
#include "keeping/backup.h"
#include "store/layout.h"
#include "store/scriptrows.h"
#include "store/storetext.h"

#include <QDir>

#include <array>

using namespace Qt::StringLiterals;

namespace TranslatedImport {

const QString FolderFailed = u"A fatal error happened while the script files were imported."_s;
const QString AllImported = u"All the translated scripts were imported."_s;

namespace {

// Stores one file's blocks in one transaction; all of the file or none.
bool importFile(Database &db, const QString &basePath, const QString &folder, const QString &name,
                ReaderSizes &sizes, ProgressPacer &pacer, QString *failure, qint64 *blocks)
{
    const QString shown = OriginalImport::messagePath(folder, name);
    pacer.text(u"Importing file... "_s + OriginalImport::shownPath(folder, name));

    int line = 1; // the line being read when a block completes
    qint64 stored = 0;
    QString refusal;
    const BlockSink store = [&](const ScriptBlock &block) {
        if (block.text.contains(QChar(u'\0'))) {
            refusal = u"%1, line %2: the block ending here holds a zero byte; the file is not a script text file."_s
                          .arg(shown, QString::number(line));
            return false;
        }
        if (!db.inTransaction()) {
            if (const Result<Done> begun = db.begin(); !begun) {
                refusal = u"%1: the store cannot take the file (%2)."_s.arg(shown, begun.error().message);
                return false;
            }
        }
        if (const Result<QVariant> ran = db.execute(translationImportStatement(folder, name, block.number, block.text));
            !ran) {
            refusal = u"%1, line %2: the block could not be stored (%3)."_s.arg(shown, QString::number(line),
                                                                                 ran.error().message);
            return false;
        }
        ++stored;
        return true;
    };
    ReadFailure readFailure;
    const bool read = readScriptFile(QDir(basePath).filePath(folder + u'/' + name), sizes, store, &readFailure, [&] {
        ++line;
        pacer.tick();
    });
    if (read) {
        const Result<Done> kept = db.inTransaction() ? db.commit() : Result<Done>(Done{});
        if (kept) {
            *blocks += stored;
            return true;
        }
        refusal = u"%1: the store cannot keep the file (%2)."_s.arg(shown, kept.error().message);
    }
    if (db.inTransaction())
        db.abandon();
    // The reader's sentence starts with the bare file name; put the folder before it.
    *failure = refusal.isEmpty() ? QDir::toNativeSeparators(folder + u'/') + readFailure.message : refusal;
    return false;
}

} // namespace

bool importTranslatedFolder(Database &db, const QString &basePath, const QString &folder, const QStringList &names,
                            ProgressPacer &pacer, QString *failure, qint64 *blocks, FileCount *files)
{
    // Every name of the folder first: one the store cannot take stops the
    // folder before a single row of it is written.
    for (const QString &name : names) {
        if (const QString why = OriginalImport::checkFileName(name); !why.isEmpty()) {
            *failure = OriginalImport::messagePath(folder, name) + u": "_s + why;
            return false;
        }
    }
    ReaderSizes sizes; // not stored, but the reader carries them through the folder
    for (const QString &name : names) {
        if (name.contains(u'.') && !importFile(db, basePath, folder, name, sizes, pacer, failure, blocks))
            return false;
        if (files)
            pacer.files(++files->done, files->total);
    }
    return true;
}

Report run(Database &db, const QString &basePath, ProgressPacer &pacer)
{
    Report report;
    if (!OriginalImport::isScriptFolder(basePath))
        return report;
    report.validFolder = true;

    std::array<QStringList, 3> listings;
    FileCount files;
    std::array<QString, 3> unlisted;
    for (size_t f = 0; f < listings.size(); ++f) {
        const QString folder = QDir(basePath).filePath(ScriptTables::all[f]);
        unlisted[f] = OriginalImport::listingProblem(folder);
        listings[f] = OriginalImport::listScriptFiles(folder);
        files.total += int(listings[f].size());
    }
    if (const Result<Done> backup = Backups::backupBeforeChange(db, Backups::Reason::ImportTranslated); !backup) {
        report.failures << backup.error().message;
        report.lastStatus = FolderFailed;
        return report;
    }
    pacer.files(0, files.total);
    for (size_t f = 0; f < listings.size(); ++f) {
        const QString &folder = ScriptTables::all[f];
        pacer.text(OriginalImport::folderText(folder, false));
        QString failure = unlisted[f];
        const int folderEnd = files.done + int(listings[f].size());
        if (failure.isEmpty()
            && importTranslatedFolder(db, basePath, folder, listings[f], pacer, &failure, &report.blocks, &files)) {
            report.lastStatus = AllImported;
        } else {
            qCWarning(lcScripts) << "translated import of" << folder << "stopped:" << failure;
            report.failures << failure;
            report.lastStatus = FolderFailed;
        }
        pacer.text(report.lastStatus);
        files.done = folderEnd; // the files a failure skipped count as passed
        pacer.files(files.done, files.total);
    }
    return report;
}

} // namespace TranslatedImport
