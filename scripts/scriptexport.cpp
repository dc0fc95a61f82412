#include "scripts/scriptexport.h"
#include "scripts/importprogress.h"

#include "scripts/logging.h"
#include "scripts/originalimport.h"
#include "scripts/scriptformat.h"
#include "store/layout.h"
#include "store/plannerstats.h"
#include "store/safefile.h"
#include "store/storetext.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

QStringList exportFolders(int folderIndex)
{
    if (folderIndex == 0)
        return {ScriptTables::all.begin(), ScriptTables::all.end()};
    if (folderIndex >= 1 && folderIndex <= 3)
        return {ScriptTables::all[size_t(folderIndex - 1)]};
    return {};
}

QString exportListStatement(const QString &table, bool onlyRevised)
{
    return u"SELECT * FROM "_s + table
        + (onlyRevised ? u" WHERE translated = 1 AND revised = 1"_s : u" WHERE translated = 1"_s);
}

bool fillExportList(Database &db, int folderIndex, bool onlyRevised, std::vector<ExportListRow> &rows,
                    QString *error)
{
    rows.clear();
    for (const QString &folder : exportFolders(folderIndex)) {
        ResultSet result = db.query(exportListStatement(folder, onlyRevised));
        if (!result.isValid()) {
            if (error)
                *error = result.error().message;
            return false;
        }
        // "nada" stands for no script yet; a script really named so is not
        // listed when it comes first in its folder, as it always was.
        QString lastSeen = u"nada"_s;
        while (!result.step()) {
            const QString name = result.text(ColFileName);
            if (name != lastSeen)
                rows.push_back({name, folder, result.text(ColTextDataT)});
            lastSeen = name;
        }
    }
    return true;
}

QString exportScriptStatement(const QString &folder, const QString &script, bool onlyRevised,
                              bool includeUntranslated)
{
    const QString select = u"SELECT * FROM "_s + folder + u" WHERE file_name = "_s + storeLiteral(script);
    if (includeUntranslated)
        return select + u';';
    if (onlyRevised)
        return select + u" AND translated = 1 AND revised = 1;"_s;
    return select + u" AND translated = 1;"_s;
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

ExportResult stopped(ExportResult result, const QString &path, const QString &why)
{
    result.ok = false;
    result.failedPath = QDir::toNativeSeparators(path);
    result.message = u"The export stopped at %1: %2. %3 script(s) had been exported before it."_s.arg(
        result.failedPath, why, QString::number(result.written));
    qCWarning(lcScripts) << "export stopped:" << result.message;
    return result;
}

// One script that could not be written; the others are still written.
void skipped(ExportResult &result, const QString &path, const QString &why)
{
    if (result.failedPath.isEmpty())
        result.failedPath = QDir::toNativeSeparators(path);
    result.failures += QDir::toNativeSeparators(path) + u": "_s + why;
    qCWarning(lcScripts) << "not exported:" << path << why;
}

// Why the script of `row` cannot be written to `path`; empty when it can.
QString writeScript(Database &db, const QString &programFolder, const ExportListRow &row, const QString &path,
                    bool onlyRevised, bool includeUntranslated)
{
    if (!ScriptTables::contains(row.folder) || !isPlainFileName(row.script))
        return u"this is not a script name that can be written"_s;
    // The name goes between quotes in the statement; an apostrophe there
    // would select other rows than the script's.
    if (const QString why = OriginalImport::checkFileName(row.script); !why.isEmpty())
        return why;
    ResultSet rows = db.query(exportScriptStatement(row.folder, row.script, onlyRevised, includeUntranslated));
    std::vector<ScriptRow> blocks;
    QString why;
    if (!scriptRowsFrom(rows, blocks, &why))
        return why;
    EncodeFailure encodeFailure;
    const auto bytes = encodeScriptText(formatScriptBlocks(blocks), row.script, &encodeFailure);
    if (!bytes)
        return encodeFailure.message;
    if (!SafeFile::writeWhole(path, *bytes, programFolder, &why))
        return why;
    return {};
}

} // namespace

ExportResult exportScripts(Database &db, const QString &programFolder, const std::vector<ExportListRow> &ticked,
                           bool onlyRevised, bool includeUntranslated, ImportProgress *progress)
{
    ExportResult result;
    if (ticked.empty()) {
        result.ok = false;
        result.message = NothingToExportMessage;
        return result;
    }

    // A store made before the planner's figures were written at creation gets
    // them here, where their absence costs most; without them it works, slower.
    ensurePlannerStatistics(db.path());

    const QDir home(programFolder);
    const QString translated = home.filePath(u"Translated"_s);
    for (const QString &folder : QStringList{translated, translated + u"/battling_arena"_s,
                                             translated + u"/battle_script"_s, translated + u"/field"_s}) {
        if (const QString link = SafeFile::symlinkOnTheWay(programFolder, folder); !link.isEmpty())
            return stopped(result, folder, u"%1 is a symbolic link, and nothing is written through links inside "
                                           "the program folder"_s.arg(QDir::toNativeSeparators(link)));
        if (!QFileInfo(folder).isDir() && !home.mkpath(folder))
            return stopped(result, folder, u"the folder could not be created"_s);
    }

    int done = 0;
    for (const ExportListRow &row : ticked) {
        const QString path = translated + u'/' + row.folder + u'/' + row.script;
        if (progress) {
            progress->showFiles(done++, int(ticked.size()));
            progress->showText(QDir::toNativeSeparators(path));
        }
        if (const QString why = writeScript(db, programFolder, row, path, onlyRevised, includeUntranslated);
            !why.isEmpty())
            skipped(result, path, why);
        else
            ++result.written;
    }
    if (!result.failures.isEmpty()) {
        result.ok = false;
        result.message = u"%1 of %2 script(s) were exported; these could not be written and were left as they "
                         "were:\n%3"_s.arg(QString::number(result.written), QString::number(ticked.size()),
                                           result.failures.join(u'\n'));
        return result;
    }
    result.message = exportedMessage(qsizetype(ticked.size()));
    return result;
}
