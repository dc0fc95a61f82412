#include "check/projectcheck.h"
#include "check/blockcheck.h"

#include "keeping/projectstore.h"
#include "links/linkstore.h"
#include "store/layout.h"
#include "store/numbers.h"
#include "files/programfolder.h"
#include "store/storetext.h"

#include <QThread>

#include <algorithm>
#include <map>
#include <thread>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {

bool isOne(const QVariant &value)
{
    return value.toLongLong() == 1;
}

CheckedBlock blockFromRow(const QString &table, const BlockRow &row)
{
    const auto text = [&row](int column) { return row[size_t(column)].toString(); };
    CheckedBlock block;
    block.table = table;
    block.fileName = text(ColFileName);
    block.number = parseInt16(text(ColDialogueId)).value_or(0);
    block.original = fromStoreText(text(ColTextData));
    // Checked whether or not it is marked translated: an export can include it.
    block.translation = fromStoreText(text(ColTextDataT));
    block.translated = isOne(row[ColTranslated]);
    block.revised = isOne(row[ColRevised]);
    // The size as the block load resolves it: only new_width is tested.
    const bool chosen = parseInt16(text(ColNewWidth)).value_or(0) >= 1;
    block.width = text(chosen ? ColNewWidth : ColWidth);
    block.height = text(chosen ? ColNewHeight : ColHeight);
    return block;
}

// The changed originals' marks the store keeps: history.db beside a local
// store, the server's own table on a server.
Result<Done> markChangedOriginals(std::vector<CheckedBlock> &blocks, ProjectStore &store)
{
    const auto marks = store.changedOriginals();
    if (!marks)
        return Failure{(store.keepsVersions() ? u"The changed originals could not be read (%1)."_s
                                              : u"The changed originals could not be read from history.db (%1)."_s)
                           .arg(marks.error().message),
                       {}};
    if (!marks->isEmpty()) {
        for (CheckedBlock &block : blocks) {
            const auto mark = marks->constFind(block.key());
            block.originalChanged = mark != marks->cend() && mark->newOriginal == toStoreText(block.original);
        }
    }
    return Done{};
}

void putGlossary(QList<LinkRow> &links, GlossaryLinks &glossary)
{
    for (LinkRow &link : links) {
        link.word = fromStoreText(link.word);
        for (QString &suggestion : link.suggestions)
            suggestion = fromStoreText(suggestion);
    }
    glossary.setLinks(links);
}

} // namespace

Result<std::vector<CheckedBlock>> readCheckedBlocks(ProjectStore &store)
{
    std::vector<CheckedBlock> blocks;
    for (const QString &table : ScriptTables::all) {
        Result<std::vector<BlockRow>> rows = store.blockRows(table);
        if (!rows)
            return Failure{u"The blocks of %1 could not be read (%2)."_s.arg(table, rows.error().message), {}};
        blocks.reserve(blocks.size() + rows->size());
        for (const BlockRow &row : *rows)
            blocks.push_back(blockFromRow(table, row));
    }
    if (Result<Done> marked = markChangedOriginals(blocks, store); !marked)
        return marked.error();
    return blocks;
}

Result<Done> loadGlossary(ProjectStore &store, GlossaryLinks &glossary)
{
    Result<std::vector<LinkColumns>> read = store.links();
    if (!read)
        return Failure{u"The word links could not be read (%1)."_s.arg(read.error().message), {}};
    QList<LinkRow> links = linkRowsFrom(*read);
    putGlossary(links, glossary);
    return Done{};
}

Result<CheckedProject> loadProject(ProjectStore &store, const QString &programFolder)
{
    Result<std::vector<CheckedBlock>> blocks = readCheckedBlocks(store);
    if (!blocks)
        return blocks.error();
    CheckedProject project;
    project.blocks = std::move(*blocks);
    if (const Result<Done> links = loadGlossary(store, project.context.glossary); !links)
        return links.error();
    project.context.font.setImage(programFont(programFolder));
    for (const CheckedBlock &block : project.blocks)
        project.context.translations.update(block);
    return project;
}

QImage programFont(const QString &programFolder)
{
    return QImage(programPath(programFolder, u"font/font.bmp"_s));
}

namespace {

// The blocks [begin, end) checked in order, as checkProject counts them.
ProjectCheck checkRange(const CheckedProject &project, const ProjectCheckOptions &options, size_t begin, size_t end)
{
    ProjectCheck check;
    for (size_t i = begin; i < end; ++i) {
        const CheckedBlock &block = project.blocks[i];
        if (options.inScope && !options.inScope(block))
            continue;
        ++check.checked;
        QList<Finding> findings;
        if (options.size) {
            CheckedBlock resized = block;
            resized.width = options.size->first;
            resized.height = options.size->second;
            findings = checkBlock(resized, project.context, options.rules);
        } else {
            findings = checkBlock(block, project.context, options.rules);
        }
        if (options.errorsOnly)
            findings.removeIf([](const Finding &f) { return f.severity != Severity::Error; });
        if (findings.isEmpty())
            continue;
        for (const Finding &f : std::as_const(findings))
            ++(f.severity == Severity::Error ? check.errors : check.warnings);
        check.blocks.push_back({&block, std::move(findings)});
    }
    return check;
}

QString rowText(const CheckedBlock &block)
{
    const QString text = block.translated ? block.translation : block.original;
    QString line = text.section(u'\r', 0, 0).section(u'\n', 0, 0);
    if (line.size() > 40)
        line = line.left(40) + u"…"_s;
    return u"%1 \"%2\""_s.arg(block.translated ? u"translated"_s : u"untranslated, original"_s, line);
}

// A block stored in more than one row answers only "Duplicate records" when
// opened, and the export writes every row: each row gets a finding naming
// all of them, in the order the store holds them (the oldest first).
void findDuplicates(const CheckedProject &project, const ProjectCheckOptions &options, ProjectCheck &check)
{
    std::map<std::tuple<QString, QString, qint16>, std::vector<const CheckedBlock *>> byKey;
    for (const CheckedBlock &block : project.blocks) {
        if (!options.inScope || options.inScope(block))
            byKey[{block.table, block.fileName, block.number}].push_back(&block);
    }
    std::map<const CheckedBlock *, BlockFindings *> found;
    for (BlockFindings &entry : check.blocks)
        found[entry.block] = &entry;
    std::vector<BlockFindings> added;
    for (const auto &[key, rows] : byKey) {
        if (rows.size() < 2)
            continue;
        QStringList described;
        for (size_t i = 0; i < rows.size(); ++i)
            described << u"row %1: %2"_s.arg(QString::number(i + 1), rowText(*rows[i]));
        const QString message = u"Block %1 of %2 is stored in %3 rows (%4); remove the older one from the checks "
                                "window."_s.arg(QString::number(std::get<2>(key)), std::get<1>(key),
                                               QString::number(rows.size()), described.join(u"; "_s));
        const Finding finding{Rule::Duplicate, Severity::Error, message, 0, 0};
        for (const CheckedBlock *row : rows) {
            ++check.errors;
            if (const auto it = found.find(row); it != found.end())
                it->second->findings.prepend(finding);
            else
                added.push_back({row, {finding}});
        }
    }
    if (added.empty())
        return;
    std::move(added.begin(), added.end(), std::back_inserter(check.blocks));
    // Back in project order: the blocks are one vector, so their addresses give it.
    std::sort(check.blocks.begin(), check.blocks.end(),
              [](const BlockFindings &a, const BlockFindings &b) { return a.block < b.block; });
}

} // namespace

ProjectCheck checkProject(const CheckedProject &project, const ProjectCheckOptions &options)
{
    // Blocks are checked apart from each other against a context that is
    // only read, so the corpus is cut into one run of blocks per core; the
    // runs are joined in project order.
    const size_t count = project.blocks.size();
    const size_t parts = std::clamp<size_t>(size_t(QThread::idealThreadCount()), 1, std::max<size_t>(count / 512, 1));
    std::vector<ProjectCheck> results(parts);
    std::vector<std::thread> workers;
    for (size_t part = 1; part < parts; ++part) {
        workers.emplace_back([&, part] {
            results[part] = checkRange(project, options, count * part / parts, count * (part + 1) / parts);
        });
    }
    results[0] = checkRange(project, options, 0, count / parts);
    for (std::thread &worker : workers)
        worker.join();
    ProjectCheck check = std::move(results[0]);
    for (size_t part = 1; part < parts; ++part) {
        check.checked += results[part].checked;
        check.errors += results[part].errors;
        check.warnings += results[part].warnings;
        std::move(results[part].blocks.begin(), results[part].blocks.end(), std::back_inserter(check.blocks));
    }
    if (options.rules.contains(Rule::Duplicate))
        findDuplicates(project, options, check);
    return check;
}

QString checkSummary(const ProjectCheck &check)
{
    // Always plural: scripts read this line, and "1 errors" parses like "2 errors".
    return u"%1 errors, %2 warnings in %3 blocks"_s.arg(QString::number(check.errors), QString::number(check.warnings),
                                                        QString::number(check.checked));
}
