#include "scripts/originalimport.h"

#include "keeping/backup.h"
#include "store/blockedit.h"
#include "store/layout.h"
#include "store/importexportrows.h"
#include "files/programfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace OriginalImport {

const QString Question =
    u"The Original scripts already exist.\r\nDo you want to import it and lose all, inclusive link words?"_s;
const QString InvalidFolder = u"Please select a valid Script Folder,\r\n"
                              "This must contain the following folders: 'battling_arena', 'battle_script',\r\n"
                              "and 'field'."_s;
const QString AllImported = u"All the scripts were imported."_s;

QString folderText(const QString &folder, bool originalImport)
{
    if (folder == ScriptTables::battlingArena)
        return u"Importing Battling_arena scripts, please wait..."_s;
    if (folder == ScriptTables::battleScript && originalImport)
        return u"Importing Battle_script files, please wait..."_s;
    if (folder == ScriptTables::battleScript)
        return u"Importing Battle_script scripts, please wait..."_s;
    return u"Importing Field scripts, please wait..."_s;
}

QString shownPath(const QString &folder, const QString &name)
{
    return folder + u'\\' + name;
}

QString messagePath(const QString &folder, const QString &name)
{
    return QDir::toNativeSeparators(folder + u'/' + name);
}

std::optional<qint64> existingScriptRows(Database &db, Failure *error)
{
    const ::Result<qint64> rows = scriptRowCount(db);
    if (!rows) {
        if (error)
            *error = rows.error();
        return std::nullopt;
    }
    return *rows;
}

namespace {

// The four deletions, each announced by its progress text, inside the
// caller's transaction.
::Result<Done> runDeletions(Database &db, ProgressPacer &pacer)
{
    return deleteImportedRows(db, [&](const QString &table) {
        pacer.text(table == u"suggestion" ? u"Deleting word links..."_s : u"Deleting %1 scripts..."_s.arg(table));
    });
}

} // namespace

bool isScriptFolder(const QString &basePath)
{
    return !basePath.isEmpty() && QFileInfo::exists(QDir(basePath).filePath(ScriptTables::battleScript));
}

QString folderProblem(const QString &basePath)
{
    if (isScriptFolder(basePath))
        return {};
    const QFileInfo base(basePath);
    if (!basePath.isEmpty() && base.isDir()) {
        DIR *dir = ::opendir(QFile::encodeName(basePath).constData());
        if (!dir)
            return u"The folder %1 cannot be read (%2). Give your account the right to read it, or choose "
                   "another folder."_s.arg(QDir::cleanPath(base.absoluteFilePath()),
                                           QString::fromLocal8Bit(std::strerror(errno)));
        ::closedir(dir);
    }
    return InvalidFolder;
}

QString listingProblem(const QString &folderPath)
{
    const QByteArray name = QFile::encodeName(folderPath);
    struct stat link {};
    if (::lstat(name.constData(), &link) != 0 && errno == ENOENT)
        return {};
    DIR *dir = ::opendir(name.constData());
    if (!dir)
        return u"the folder %1 cannot be listed (%2)."_s.arg(QDir::toNativeSeparators(folderPath),
                                                            QString::fromLocal8Bit(std::strerror(errno)));
    // Qt's listing leaves out a name that is not UTF-8: such a script would
    // be missing from the import without a word.
    QString problem;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray bytes(entry->d_name);
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString decoded = utf8.decode(bytes);
        if (utf8.hasError() && decoded.endsWith(u".txt"_s, Qt::CaseInsensitive)) {
            problem = u"%1: the file name is not valid UTF-8 text; rename the file and import again."_s.arg(
                QDir::toNativeSeparators(QDir(folderPath).filePath(decoded)));
            break;
        }
    }
    ::closedir(dir);
    return problem;
}

QStringList listScriptFiles(const QString &folderPath)
{
    // Files that exist but cannot be read are listed too, devices and pipes
    // as well: they stop the
    // import with a message naming them instead of vanishing from it.
    QStringList names = QDir(folderPath).entryList({u"*.txt"_s}, QDir::Files | QDir::System, QDir::NoSort);
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return names;
}

QString insertStatement(const QString &folder, const QString &name, const ScriptBlock &block)
{
    return originalInsertStatement(folder, name, block.number, block.text, block.width, block.height);
}

QString checkFileName(const QString &name)
{
    if (name.contains(u'\''))
        return u"its name holds an apostrophe, which cannot stand in the store's statements; "
               "rename the file and import again."_s;
    if (name.contains(u';'))
        return u"its name holds a semicolon, which would cut the keys of its blocks in the wrong place; "
               "rename the file and import again."_s;
    return {};
}

Importer::Importer(Database &db, const QString &basePath, ProgressPacer &pacer, Mode mode)
    : m_db(db)
    , m_base(basePath)
    , m_pacer(pacer)
    , m_mode(mode)
{
}

bool Importer::stop(const QString &file, int line, const QString &message)
{
    Stopped stopped;
    stopped.message = u"Import stopped: "_s + message;
    stopped.file = file;
    stopped.line = line;
    m_pacer.text(stopped.message);
    m_stopped = std::move(stopped);
    return false;
}

Result Importer::stopped()
{
    m_stopped->done = std::move(m_done);
    return *std::move(m_stopped);
}

Result Importer::run()
{
    m_done = Imported();
    m_stopped.reset();
    std::array<QStringList, 3> listings;
    m_filesTotal = 0;
    for (size_t f = 0; f < listings.size(); ++f) {
        const QString &folder = ScriptTables::all[f];
        const QDir dir(QDir(m_base).filePath(folder));
        if (const QString why = listingProblem(dir.path()); !why.isEmpty()) {
            stop(folder, 0, why);
            return stopped();
        }
        listings[f] = listScriptFiles(dir.path());
        m_filesTotal += int(listings[f].size());
    }
    // Every name first: a name the store cannot take stops the import before
    // a single row is written.
    for (size_t f = 0; f < listings.size(); ++f) {
        for (const QString &name : std::as_const(listings[f])) {
            if (const QString why = checkFileName(name); !why.isEmpty()) {
                const QString file = shownPath(ScriptTables::all[f], name);
                stop(file, 0, messagePath(ScriptTables::all[f], name) + u": "_s + why);
                return stopped();
            }
        }
    }
    if (m_mode == Mode::Replace) {
        if (const ::Result<Done> backup = Backups::backupBeforeChange(m_db, Backups::Reason::ImportOriginal); !backup) {
            stop(QString(), 0, backup.error().message);
            return stopped();
        }
    }
    m_pacer.files(0, m_filesTotal);
    // One transaction around the whole run, a savepoint around each file: a
    // failing file is rolled back alone and the files before it are kept,
    // while the store writes its pages once instead of once per file.
    if (const ::Result<Done> begun = m_db.begin(); !begun) {
        stop(QString(), 0, u"the store cannot take the import (%1)."_s.arg(begun.error().message));
        return stopped();
    }
    if (m_mode == Mode::Replace) {
        if (const ::Result<Done> deleted = runDeletions(m_db, m_pacer); !deleted) {
            m_db.abandon();
            stop(QString(), 0, u"the scripts already imported could not be deleted (%1); the store was left as it was."_s
                                   .arg(deleted.error().message));
            return stopped();
        }
    }
    m_storedBefore = holdsScriptRows(m_db);
    for (size_t f = 0; f < listings.size(); ++f) {
        m_pacer.text(folderText(ScriptTables::all[f], true));
        if (!importOriginalFolder(ScriptTables::all[f], listings[f]))
            break;
    }
    if (m_stopped && m_mode == Mode::Replace) {
        // The deletion goes with the import or not at all: a store emptied by
        // a file that could not be read would lose every translation.
        m_db.abandon();
        m_done = Imported();
        m_stopped->message += u" Nothing was deleted or imported; the store was left as it was."_s;
        m_pacer.text(m_stopped->message);
        return stopped();
    }
    if (const ::Result<Done> committed = m_db.commit(); !committed) {
        const QString why = committed.error().message;
        m_db.abandon();
        m_done = Imported();
        stop(QString(), 0, u"the store could not keep the imported scripts (%1)."_s.arg(why));
        return stopped();
    }
    // Kept as they are (a script may name a block twice, and the re-import
    // keeps every block 0), but told: they open as "Duplicate records". Into
    // empty tables only a file naming a number twice can make one, which the
    // import saw itself: the store's search is skipped then.
    if (m_storedBefore || m_repeatedNumber)
        m_done.duplicates = duplicateBlocks(m_db);
    if (m_stopped)
        return stopped();
    return std::move(m_done);
}

QString duplicatesLine(const ::Result<std::vector<DuplicateBlock>> &duplicates)
{
    if (!duplicates)
        return u"The blocks stored more than once could not be counted (%1); Tools, Checks… lists them."_s.arg(
            duplicates.error().message);
    if (duplicates->empty())
        return {};
    return u"%1 block(s) are stored more than once and open as \"%2\"; Tools, Checks… lists them and removes "
           "the older rows."_s.arg(QString::number(duplicates->size()), DuplicateRecordsMessage);
}

bool Importer::importOriginalFolder(const QString &folder, const QStringList &names)
{
    ReaderSizes sizes;
    for (const QString &name : names) {
        // Names without an extension are skipped.
        if (!name.contains(u'.'))
            continue;
        if (!importFile(folder, name, sizes))
            return false;
        ++m_done.files;
        m_pacer.files(++m_filesDone, m_filesTotal);
    }
    m_pacer.text(AllImported);
    return true;
}

bool Importer::importFile(const QString &folder, const QString &name, ReaderSizes &sizes)
{
    const QString shown = shownPath(folder, name);
    const QString path = messagePath(folder, name);
    m_pacer.text(u"Importing file... "_s + shown);

    int line = 1; // the line being read when a block completes
    qint64 stored = 0;
    m_numbers.clear();
    QString refusal;
    if (const ::Result<Done> begun = beginFileRows(m_db); !begun)
        return stop(shown, 0, u"%1: the store cannot take the file (%2)."_s.arg(path, begun.error().message));
    // After a failure, whose message is the one to give.
    auto rollback = [this] { dropFileRows(m_db); };
    OriginalRowWriter writer(m_db, folder, name);
    const BlockSink store = [&](const ScriptBlock &block) {
        if (const ::Result<Done> kept = writer.store(block.number, block.text, block.width, block.height);
            !kept) {
            // A zero byte cannot travel inside a statement's text: this is not
            // a script file, whatever it is.
            refusal = block.text.contains(QChar(u'\0'))
                ? u"%1, line %2: the block ending here holds a zero byte; the file is not a script text file."_s
                      .arg(path, QString::number(line))
                : u"%1, line %2: the block could not be stored (%3)."_s.arg(path, QString::number(line),
                                                                             kept.error().message);
            return false;
        }
        ++stored;
        m_numbers.push_back(block.number);
        return true;
    };
    ReadFailure failure;
    const bool read = readScriptFile(
        QDir(m_base).filePath(folder + u'/' + name), sizes, store, &failure, [&] {
            ++line;
            m_pacer.tick();
        });
    if (!read) {
        rollback();
        if (!refusal.isEmpty())
            return stop(shown, line, refusal);
        // The reader's sentence starts with the bare file name; put the folder before it.
        return stop(shown, failure.line, QDir::toNativeSeparators(folder + u'/') + failure.message);
    }
    if (const ::Result<Done> kept = keepFileRows(m_db); !kept) {
        const QString why = kept.error().message;
        rollback();
        return stop(shown, 0, u"%1: the store cannot keep the file (%2)."_s.arg(path, why));
    }
    m_done.blocks += stored;
    std::sort(m_numbers.begin(), m_numbers.end());
    m_repeatedNumber = m_repeatedNumber || std::adjacent_find(m_numbers.begin(), m_numbers.end()) != m_numbers.end();
    return true;
}

} // namespace OriginalImport
