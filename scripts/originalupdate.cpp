#include "scripts/originalupdate.h"

#include "scripts/originalimport.h"
#include "scripts/scriptformat.h"
#include "keeping/backup.h"
#include "store/layout.h"
#include "store/scriptrows.h"
#include "keeping/originalhistory.h"
#include "store/storetext.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <map>
#include <optional>

using namespace Qt::StringLiterals;

namespace OriginalUpdate {

QString changeName(Change change)
{
    switch (change) {
    case Change::Changed:
        return u"changed"_s;
    case Change::Added:
        return u"added"_s;
    case Change::Removed:
        return u"removed"_s;
    }
    return {};
}

QString summary(const Outcome &result)
{
    return u"%1 unchanged, %2 changed, %3 added, %4 removed"_s.arg(result.unchanged)
        .arg(result.changed)
        .arg(result.added)
        .arg(result.removed);
}

namespace {

// Files in the order the import lists them: by name without regard to case,
// then with it.
struct ListingOrder
{
    bool operator()(const QString &a, const QString &b) const
    {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    }
};

using Blocks = std::map<qint16, ScriptBlock>;
using Folder = std::map<QString, Blocks, ListingOrder>;
using Rows = std::map<qint16, RemovedBlock>;
using StoredFolder = std::map<QString, Rows, ListingOrder>;

class Updater
{
public:
    Updater(Database &db, const QString &base, ProgressPacer &pacer)
        : m_db(db)
        , m_base(base)
        , m_pacer(pacer)
    {
    }

    ::Result<Outcome> run(bool dryRun, const QDateTime &now);

private:
    bool fail(const QString &message)
    {
        m_failure = Failure{message, {}, 0};
        m_pacer.text(message);
        return false;
    }
    bool readFolder(size_t index);
    bool readStore(size_t index);
    void compare(size_t index);
    bool apply(const QDateTime &now);

    Database &m_db;
    QString m_base;
    ProgressPacer &m_pacer;
    Outcome m_result;
    std::optional<Failure> m_failure;
    std::array<Folder, 3> m_files;
    std::array<StoredFolder, 3> m_stored;
    QStringList m_statements;
    std::vector<OriginalChange> m_marks;
    std::vector<RemovedBlock> m_removed;
};

bool Updater::readFolder(size_t index)
{
    const QString &folder = ScriptTables::all[index];
    const QString path = QDir(m_base).filePath(folder);
    if (const QString why = OriginalImport::listingProblem(path); !why.isEmpty())
        return fail(why);
    m_pacer.text(OriginalImport::folderText(folder, true));
    ReaderSizes sizes;
    for (const QString &name : OriginalImport::listScriptFiles(path)) {
        if (!name.contains(u'.'))
            continue;
        const QString shown = OriginalImport::shownPath(folder, name);
        if (const QString why = OriginalImport::checkFileName(name); !why.isEmpty())
            return fail(shown + u": "_s + why);
        Blocks &blocks = m_files[index][name];
        QString refusal;
        int line = 1;
        const BlockSink keep = [&](const ScriptBlock &block) {
            if (block.text.contains(QChar(u'\0'))) {
                refusal = u"%1, line %2: the block ending here holds a zero byte; the file is not a script text "
                          "file."_s.arg(shown, QString::number(line));
                return false;
            }
            if (!blocks.emplace(block.number, block).second) {
                refusal = u"%1, line %2: block %3 comes twice in the file, so it cannot be matched with the "
                          "store's; number the blocks apart and update again."_s
                              .arg(shown, QString::number(line), QString::number(block.number));
                return false;
            }
            return true;
        };
        ReadFailure failure;
        if (!readScriptFile(QDir(path).filePath(name), sizes, keep, &failure, [&] {
                ++line;
                m_pacer.tick();
            }))
            return fail(!refusal.isEmpty() ? refusal : folder + u'\\' + failure.message);
    }
    return true;
}

bool Updater::readStore(size_t index)
{
    const QString &table = ScriptTables::all[index];
    ::Result<ResultSet> rows = tableRows(m_db, table);
    if (!rows.ok())
        return fail(u"The store's %1 scripts cannot be read (%2)."_s.arg(table, rows.error().message));
    while (rows->next()) {
        const qint64 number = rows->value(ColDialogueId).toLongLong();
        const BlockAddress address{table, rows->text(ColFileName), qint16(number)};
        if (number != address.number)
            return fail(u"Block %1 of %2 in the store's %3 scripts does not fit 16 bits."_s.arg(
                QString::number(number), address.fileName, table));
        const RemovedBlock row = removedBlockOf(*rows, address);
        if (!m_stored[index][row.address.fileName].emplace(row.address.number, row).second)
            return fail(u"Block %1 of %2 is in the store's %3 scripts twice (Duplicate records); the update cannot "
                        "tell which one the new original belongs to."_s.arg(
                            QString::number(row.address.number), row.address.fileName, table));
    }
    return true;
}

void Updater::compare(size_t index)
{
    const QString &table = ScriptTables::all[index];
    std::map<QString, bool, ListingOrder> names;
    for (const auto &file : m_files[index])
        names[file.first];
    for (const auto &file : m_stored[index])
        names[file.first];
    static const Blocks noBlocks;
    static const Rows noRows;
    for (const auto &[name, unused] : names) {
        const auto f = m_files[index].find(name);
        const auto s = m_stored[index].find(name);
        const Blocks &blocks = f == m_files[index].end() ? noBlocks : f->second;
        const Rows &rows = s == m_stored[index].end() ? noRows : s->second;
        std::map<qint16, bool> numbers;
        bool adds = false;
        for (const auto &block : blocks) {
            adds |= !rows.contains(block.first);
            numbers[block.first];
        }
        for (const auto &row : rows)
            numbers[row.first];
        // A script that gains blocks is written again whole, in block order:
        // rows added at the table's end would stand apart from their
        // script's, and the tree needs a script's rows together.
        if (adds)
            m_statements << scriptDeleteStatement(table, name);
        for (const auto &[number, unused2] : numbers) {
            const auto b = blocks.find(number);
            const auto r = rows.find(number);
            if (b == blocks.end()) {
                // Rows the import never writes (numbers 0 and below, which it
                // never deletes either) are no business of the game's files.
                if (number <= 0) {
                    if (adds)
                        m_statements << rowInsertStatement(r->second);
                    continue;
                }
                m_removed.push_back(r->second);
                if (!adds)
                    m_statements << blockDeleteStatement(table, name, number);
                m_result.changes.push_back({table, name, number, Change::Removed});
                ++m_result.removed;
                continue;
            }
            const ScriptBlock &block = b->second;
            if (r == rows.end()) {
                m_statements << OriginalImport::insertStatement(table, name, block);
                m_result.changes.push_back({table, name, number, Change::Added});
                ++m_result.added;
                continue;
            }
            RemovedBlock row = r->second;
            const bool same = row.textData == block.text;
            const bool sized = row.width != block.width || row.height != block.height;
            // The header's sizes follow the game; the translator's own
            // (new_width, new_height) are left as chosen.
            row.width = block.width;
            row.height = block.height;
            if (same) {
                ++m_result.unchanged;
            } else {
                m_marks.push_back({row.address, row.textData, block.text});
                row.textData = block.text;
                row.revised = false;
                m_result.changes.push_back({table, name, number, Change::Changed});
                ++m_result.changed;
            }
            if (adds) {
                m_statements << rowInsertStatement(row);
            } else if (!same || sized) {
                m_statements << originalChangeStatement(table, name, number,
                                                        same ? std::nullopt : std::optional(row.textData), row.width,
                                                        row.height);
            }
        }
    }
}

bool Updater::apply(const QDateTime &now)
{
    if (const ::Result<Done> backup = Backups::backupBeforeChange(m_db, Backups::Reason::UpdateOriginal); !backup)
        return fail(backup.error().message);
    if (const auto copies = Backups::listBackups(QFileInfo(m_db.path()).absolutePath()); !copies.empty())
        m_result.backup = copies.front().file;
    // The history first: should the store refuse, the marks name originals
    // the store never got and stay inert, and are taken back besides.
    if (const ::Result<Done> kept = keepOriginalUpdate(m_db.path(), m_marks, m_removed, now); !kept)
        return fail(kept.error().message + u" Nothing was changed."_s);
    m_pacer.text(u"Updating the originals..."_s);
    ::Result<Done> step = m_db.begin();
    for (const QString &statement : std::as_const(m_statements)) {
        if (!step)
            break;
        if (const ::Result<QVariant> written = m_db.execute(statement); !written)
            step = written.error();
        m_pacer.tick();
    }
    if (step)
        step = m_db.commit();
    if (step)
        return true;
    const QString why = step.error().message;
    m_db.abandon();
    forgetOriginalUpdate(m_db.path(), now);
    return fail(u"The store could not take the new originals (%1); it was left as it was."_s.arg(why));
}

::Result<Outcome> Updater::run(bool dryRun, const QDateTime &now)
{
    if (!OriginalImport::isScriptFolder(m_base)) {
        fail(OriginalImport::InvalidFolder);
        return *m_failure;
    }
    for (size_t i = 0; i < ScriptTables::all.size(); ++i) {
        if (!readFolder(i) || !readStore(i))
            return *m_failure;
    }
    for (size_t i = 0; i < ScriptTables::all.size(); ++i)
        compare(i);
    if (!dryRun && !m_statements.isEmpty() && !apply(now))
        return *m_failure;
    m_pacer.text(summary(m_result));
    return m_result;
}

} // namespace

::Result<Outcome> updateOriginals(Database &db, const QString &basePath, ProgressPacer &pacer, bool dryRun,
                                  const QDateTime &now)
{
    return Updater(db, basePath, pacer).run(dryRun, now);
}

} // namespace OriginalUpdate
