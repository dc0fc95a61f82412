#include "scripts/scriptexport.h"
#include "scripts/importprogress.h"

#include "scripts/logging.h"
#include "scripts/originalimport.h"
#include "scripts/scriptformat.h"
#include "store/layout.h"
#include "store/plannerstats.h"
#include "store/importexportrows.h"
#include "files/safefile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QFileInfo>

#include <map>

using namespace Qt::StringLiterals;

QStringList exportFolders(int folderIndex)
{
    if (folderIndex == 0)
        return {ScriptTables::all.begin(), ScriptTables::all.end()};
    if (folderIndex >= 1 && folderIndex <= 3)
        return {ScriptTables::all[size_t(folderIndex - 1)]};
    return {};
}

Result<std::vector<ExportListRow>> fillExportList(Database &db, int folderIndex, bool onlyRevised)
{
    std::vector<ExportListRow> rows;
    for (const QString &folder : exportFolders(folderIndex)) {
        Result<ResultSet> result = exportListRows(db, folder, onlyRevised);
        if (!result.ok())
            return result.error();
        // "nada" stands for no script yet; a script really named so is not
        // listed when it comes first in its folder, as it always was.
        QString lastSeen = u"nada"_s;
        while (result->next()) {
            const QString name = result->text(ColFileName);
            if (name != lastSeen)
                rows.push_back({name, folder, result->text(ColTextDataT)});
            lastSeen = name;
        }
    }
    return rows;
}

QString exportedMessage(qsizetype ticked)
{
    return u' ' + QString::number(ticked) + u" scripts were exported, check the 'Translated' folder at the application path"_s;
}

namespace {

// A file name from the store becomes a path: it must stay one plain name
// inside its folder, whatever the store holds.
bool isPlainFileName(const QString &name)
{
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') && !name.contains(u'\\')
        && !name.contains(QChar(0));
}

ExportFailure stopped(ExportFailure failure, const QString &path, const QString &why)
{
    failure.failedPath = QDir::toNativeSeparators(path);
    failure.message = u"The export stopped at %1: %2. %3 script(s) had been exported before it."_s.arg(
        failure.failedPath, why, QString::number(failure.written));
    qCWarning(lcScripts) << "export stopped:" << failure.message;
    return failure;
}

// One script that could not be written; the others are still written.
void skipped(ExportFailure &failure, const QString &path, const QString &why)
{
    if (failure.failedPath.isEmpty())
        failure.failedPath = QDir::toNativeSeparators(path);
    failure.failures += QDir::toNativeSeparators(path) + u": "_s + why;
    qCWarning(lcScripts) << "not exported:" << path << why;
}

// The bytes of the script of `row` as they are written, or why there are none.
Result<QByteArray> scriptBytes(Database &db, const ExportListRow &row, bool onlyRevised, bool includeUntranslated)
{
    if (!ScriptTables::contains(row.folder) || !isPlainFileName(row.script))
        return Failure{u"this is not a script name that can be written"_s, {}, 0};
    // The name goes between quotes in the statement; an apostrophe there
    // would select other rows than the script's.
    if (const QString why = OriginalImport::checkFileName(row.script); !why.isEmpty())
        return Failure{why, {}, 0};
    Result<ResultSet> rows = exportedScriptRows(db, row.folder, row.script, onlyRevised, includeUntranslated);
    const Result<std::vector<ScriptRow>> blocks = scriptRowsFrom(rows);
    if (!blocks)
        return blocks.error();
    EncodeFailure encodeFailure;
    std::optional<QByteArray> bytes = encodeScriptText(formatScriptBlocks(*blocks), row.script, &encodeFailure);
    if (!bytes)
        return Failure{encodeFailure.message, {}, 0};
    return std::move(*bytes);
}

// Empty when scripts can be written into `folder` (made when missing).
QString usableFolder(const QString &programFolder, const QString &folder)
{
    if (const QString link = SafeFile::symlinkOnTheWay(programFolder, folder); !link.isEmpty())
        return u"%1 is a symbolic link, and nothing is written through links inside the program folder"_s.arg(
            QDir::toNativeSeparators(link));
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        return u"the folder %1 could not be created"_s.arg(QDir::toNativeSeparators(folder));
    return {};
}

// The hidden files a killed export left beside its scripts (the safe
// writer's ".NAME.XXXXXX"). One written by an export running now is younger
// than a minute and stays.
void removeStaleTemporaries(const QString &folder)
{
    static const QRegularExpression temporary(u"^\\..+\\.[A-Za-z0-9]{6}$"_s);
    const QDateTime stale = QDateTime::currentDateTime().addSecs(-60);
    const QDir dir(folder);
    for (const QFileInfo &file : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks)) {
        if (file.isHidden() && temporary.match(file.fileName()).hasMatch() && file.lastModified() < stale)
            QFile::remove(file.absoluteFilePath());
    }
}

} // namespace

ExportResult exportScripts(Database &db, const QString &programFolder, const std::vector<ExportListRow> &ticked,
                           bool onlyRevised, bool includeUntranslated, ImportProgress *progress)
{
    // Filled as scripts are written; given back only when one was not.
    ExportFailure result;
    if (ticked.empty()) {
        result.message = NothingToExportMessage;
        return result;
    }

    // A store made before the planner's figures were written at creation gets
    // them here, where their absence costs most; without them it works, slower,
    // so a failure to add them stops nothing.
    (void)ensurePlannerStatistics(db.path());

    const QDir home(programFolder);
    const QString translated = home.filePath(u"Translated"_s);
    if (const QString why = usableFolder(programFolder, translated); !why.isEmpty())
        return stopped(result, translated, why);
    // A table folder that cannot be written refuses its own scripts; the
    // other folders are still written.
    std::map<QString, QString> refused;
    for (const QString &table : ScriptTables::all) {
        const QString folder = translated + u'/' + table;
        if (QString why = usableFolder(programFolder, folder); !why.isEmpty())
            refused[table] = why;
        else
            removeStaleTemporaries(folder);
    }

    // Every file is written beside its target first and the targets are
    // replaced together after one sync: one flush for the export instead of
    // one per script, each file still whole or untouched.
    SafeFile::ReplacementBatch batch(programFolder);
    std::vector<QString> paths, why(ticked.size());
    std::vector<size_t> added; // the rows in the batch, in its order
    paths.reserve(ticked.size());
    for (size_t i = 0; i < ticked.size(); ++i) {
        const ExportListRow &row = ticked[i];
        paths.push_back(translated + u'/' + row.folder + u'/' + row.script);
        if (progress) {
            progress->showFiles(int(i), int(ticked.size()));
            progress->showText(QDir::toNativeSeparators(paths.back()));
        }
        if (const auto folder = refused.find(row.folder); folder != refused.end()) {
            why[i] = folder->second;
            continue;
        }
        const Result<QByteArray> bytes = scriptBytes(db, row, onlyRevised, includeUntranslated);
        if (!bytes)
            why[i] = bytes.error().message;
        else if (const Result<Done> written = batch.add(paths.back(), *bytes); !written)
            why[i] = written.error().message;
        else
            added.push_back(i);
    }
    const std::vector<QString> replaced = batch.commit();
    for (size_t k = 0; k < added.size(); ++k)
        why[added[k]] = replaced[k];
    for (size_t i = 0; i < ticked.size(); ++i) {
        if (why[i].isEmpty())
            ++result.written;
        else
            skipped(result, paths[i], why[i]);
    }
    if (!result.failures.isEmpty()) {
        result.message = u"%1 of %2 script(s) were exported; these could not be written and were left as they "
                         "were:\n%3"_s.arg(QString::number(result.written), QString::number(ticked.size()),
                                           result.failures.join(u'\n'));
        return result;
    }
    return ExportSummary{result.written, exportedMessage(qsizetype(ticked.size()))};
}
