#include "scripts/originalimport.h"

#include "keeping/backup.h"
#include "store/blockedit.h"
#include "store/layout.h"
#include "files/programfolder.h"
#include "store/storetext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
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

std::optional<qint64> existingScriptRows(Database &db, StoreError *error)
{
    qint64 sum = 0;
    for (const QString &table : {ScriptTables::battleScript, ScriptTables::battlingArena, ScriptTables::field}) {
        ResultSet rows = db.query(u"Select * from "_s + table);
        if (!rows.isValid()) {
            if (error)
                *error = rows.error();
            return std::nullopt;
        }
        sum += rows.rowCount();
    }
    return sum;
}

namespace {

// The four deletions, each announced by its progress text, inside the
// caller's transaction.
bool runDeletions(Database &db, ProgressPacer &pacer)
{
    static const std::array<std::pair<QString, QString>, 4> deletions = {{
        {u"DELETE FROM battle_script WHERE dialogue_id > 0;"_s, u"Deleting battle_script scripts..."_s},
        {u"DELETE FROM battling_arena WHERE dialogue_id > 0;"_s, u"Deleting battling_arena scripts..."_s},
        {u"DELETE FROM field WHERE dialogue_id > 0;"_s, u"Deleting field scripts..."_s},
        {u"DELETE FROM suggestion WHERE word <> '';"_s, u"Deleting word links..."_s},
    }};
    for (const auto &[statement, text] : deletions) {
        pacer.text(text);
        if (!db.execute(statement))
            return false;
    }
    return true;
}

} // namespace

// One file read, decoded and turned into its statements, ready to run.
struct ReadFile
{
    std::vector<QString> statements;
    std::vector<int> lines;  // per statement: the line being read when its block completed
    int linesRead = 0;       // for the pacer, which is told once per line as before
    bool read = true;
    ReadFailure failure;
    QString refusal;         // a block no statement can carry; `read` is false then
    int refusalLine = 0;
};

// Reads the files ahead of the writer on a thread of its own, a few files at
// most, so that the statements of the next file are built while SQLite runs
// the current one's. Only the writer's thread touches the store.
class ReadAhead
{
public:
    struct Item
    {
        QString folder;
        QString name;
    };

    ReadAhead(QString base, std::vector<Item> items)
        : m_base(std::move(base))
        , m_items(std::move(items))
        , m_thread([this] { readAll(); })
    {
    }
    ~ReadAhead()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_cancelled = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    ReadAhead(const ReadAhead &) = delete;
    ReadAhead &operator=(const ReadAhead &) = delete;

    // The next file in the order given; each is asked for once.
    ReadFile next()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_ready.empty(); });
        ReadFile file = std::move(m_ready.front());
        m_ready.pop_front();
        lock.unlock();
        m_changed.notify_all();
        return file;
    }

private:
    // Enough to keep the writer fed across a run of small files, few enough
    // that a large folder is never held in memory whole.
    static constexpr size_t Depth = 4;

    void readAll()
    {
        ReaderSizes sizes;
        QString folder;
        for (const Item &item : m_items) {
            if (item.folder != folder) {
                // The sizes carry over from file to file within a folder only.
                sizes = ReaderSizes();
                folder = item.folder;
            }
            ReadFile file = readOne(item, sizes);
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_cancelled || m_ready.size() < Depth; });
            if (m_cancelled)
                return;
            m_ready.push_back(std::move(file));
            lock.unlock();
            m_changed.notify_all();
        }
    }

    ReadFile readOne(const Item &item, ReaderSizes &sizes) const
    {
        ReadFile file;
        const QString path = messagePath(item.folder, item.name);
        int line = 1; // the line being read when a block completes
        const BlockSink build = [&](const ScriptBlock &block) {
            // A zero byte cannot travel inside a statement's text: this is not a
            // script file, whatever it is.
            if (block.text.contains(QChar(u'\0'))) {
                file.refusal =
                    u"%1, line %2: the block ending here holds a zero byte; the file is not a script text file."_s
                        .arg(path, QString::number(line));
                return false;
            }
            file.statements.push_back(insertStatement(item.folder, item.name, block));
            file.lines.push_back(line);
            return true;
        };
        file.read = readScriptFile(QDir(m_base).filePath(item.folder + u'/' + item.name), sizes, build,
                                   &file.failure, [&] {
                                       ++line;
                                       ++file.linesRead;
                                   });
        file.refusalLine = line;
        return file;
    }

    const QString m_base;
    const std::vector<Item> m_items;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<ReadFile> m_ready;
    bool m_cancelled = false;
    std::thread m_thread; // last: it starts once everything it uses is there
};

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
    return u"INSERT INTO "_s + folder
        + u" (file_name,dialogue_id,text_data,width,height,comments,translated,revised,text_data_t,new_width,"
          "new_height) VALUES ("_s
        + storeLiteral(name) + u", "_s + QString::number(block.number) + u", "_s + storeLiteral(block.text) + u" ,"_s
        + QString::number(block.width) + u", "_s + QString::number(block.height) + u" ,'', 0,0 ,'', 0,0);"_s;
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
    m_result.ok = false;
    m_result.file = file;
    m_result.line = line;
    m_result.message = u"Import stopped: "_s + message;
    m_pacer.text(m_result.message);
    return false;
}

Result Importer::run()
{
    m_result = Result();
    std::array<QStringList, 3> listings;
    m_filesTotal = 0;
    for (size_t f = 0; f < listings.size(); ++f) {
        const QString &folder = ScriptTables::all[f];
        const QDir dir(QDir(m_base).filePath(folder));
        if (const QString why = listingProblem(dir.path()); !why.isEmpty()) {
            stop(folder, 0, why);
            return m_result;
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
                return m_result;
            }
        }
    }
    // The files are read ahead from here on, while the backup, the deletions
    // and then each file's statements run here.
    std::vector<ReadAhead::Item> items;
    for (size_t f = 0; f < listings.size(); ++f) {
        for (const QString &name : std::as_const(listings[f])) {
            if (name.contains(u'.'))
                items.push_back({ScriptTables::all[f], name});
        }
    }
    ReadAhead reading(m_base, std::move(items));
    if (m_mode == Mode::Replace) {
        if (const QString why = Backups::backupBeforeChange(m_db, Backups::Reason::ImportOriginal); !why.isEmpty()) {
            stop(QString(), 0, why);
            return m_result;
        }
    }
    m_pacer.files(0, m_filesTotal);
    // One transaction around the whole run, a savepoint around each file: a
    // failing file is rolled back alone and the files before it are kept,
    // while the store writes its pages once instead of once per file.
    if (!m_db.begin()) {
        stop(QString(), 0, u"the store cannot take the import (%1)."_s.arg(m_db.lastError().message));
        return m_result;
    }
    if (m_mode == Mode::Replace && !runDeletions(m_db, m_pacer)) {
        const QString why = m_db.lastError().message;
        m_db.rollback();
        stop(QString(), 0,
             u"the scripts already imported could not be deleted (%1); the store was left as it was."_s.arg(why));
        return m_result;
    }
    for (size_t f = 0; f < listings.size(); ++f) {
        m_pacer.text(folderText(ScriptTables::all[f], true));
        if (!importOriginalFolder(ScriptTables::all[f], listings[f], reading))
            break;
    }
    if (!m_result.ok && m_mode == Mode::Replace) {
        // The deletion goes with the import or not at all: a store emptied by
        // a file that could not be read would lose every translation.
        m_db.rollback();
        m_result.files = 0;
        m_result.blocks = 0;
        m_result.message += u" Nothing was deleted or imported; the store was left as it was."_s;
        m_pacer.text(m_result.message);
        return m_result;
    }
    if (!m_db.commit()) {
        const QString why = m_db.lastError().message;
        m_db.rollback();
        m_result.files = 0;
        m_result.blocks = 0;
        stop(QString(), 0, u"the store could not keep the imported scripts (%1)."_s.arg(why));
        return m_result;
    }
    // Kept as they are (a script may name a block twice, and the re-import
    // keeps every block 0), but told: they open as "Duplicate records".
    m_result.duplicates = duplicateBlocks(m_db).value_or(std::vector<DuplicateBlock>());
    return m_result;
}

QString duplicatesLine(const std::vector<DuplicateBlock> &duplicates)
{
    if (duplicates.empty())
        return {};
    return u"%1 block(s) are stored more than once and open as \"%2\"; Tools, Checks… lists them and removes "
           "the older rows."_s.arg(QString::number(duplicates.size()), DuplicateRecordsMessage);
}

bool Importer::importOriginalFolder(const QString &folder, const QStringList &names, ReadAhead &reading)
{
    for (const QString &name : names) {
        // Names without an extension are skipped.
        if (!name.contains(u'.'))
            continue;
        if (!importFile(folder, name, reading.next()))
            return false;
        ++m_result.files;
        m_pacer.files(++m_filesDone, m_filesTotal);
    }
    m_result.message = AllImported;
    m_pacer.text(AllImported);
    return true;
}

bool Importer::importFile(const QString &folder, const QString &name, const ReadFile &file)
{
    const QString shown = shownPath(folder, name);
    const QString path = messagePath(folder, name);
    m_pacer.text(u"Importing file... "_s + shown);

    if (!m_db.execute(u"SAVEPOINT import_file"_s))
        return stop(shown, 0, u"%1: the store cannot take the file (%2)."_s.arg(path, m_db.lastError().message));
    auto rollback = [this] {
        m_db.execute(u"ROLLBACK TO import_file"_s);
        m_db.execute(u"RELEASE import_file"_s);
    };
    // The pacer hears of the lines as the statements run, a block's lines before it.
    const int statements = int(file.statements.size());
    int linesTold = 0;
    for (int i = 0; i < statements; ++i) {
        if (!m_db.execute(file.statements[size_t(i)])) {
            const int line = file.lines[size_t(i)];
            const QString why = m_db.lastError().message;
            rollback();
            return stop(shown, line,
                        u"%1, line %2: the block could not be stored (%3)."_s.arg(path, QString::number(line), why));
        }
        for (; linesTold < file.lines[size_t(i)] - 1; ++linesTold)
            m_pacer.tick();
    }
    for (; linesTold < file.linesRead; ++linesTold)
        m_pacer.tick();
    if (!file.read) {
        rollback();
        if (!file.refusal.isEmpty())
            return stop(shown, file.refusalLine, file.refusal);
        // The reader's sentence starts with the bare file name; put the folder before it.
        return stop(shown, file.failure.line, QDir::toNativeSeparators(folder + u'/') + file.failure.message);
    }
    if (!m_db.execute(u"RELEASE import_file"_s)) {
        const QString why = m_db.lastError().message;
        rollback();
        return stop(shown, 0, u"%1: the store cannot keep the file (%2)."_s.arg(path, why));
    }
    m_result.blocks += qint64(statements);
    return true;
}

} // namespace OriginalImport
