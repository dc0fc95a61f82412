#include "check/exportcheck.h"

#include "scripts/scriptformat.h"
#include "store/database.h"
#include "files/programfolder.h"
#include "store/storetext.h"

#include <QSet>

using namespace Qt::StringLiterals;

ProjectCheck checkBeforeExport(const CheckedProject &project, const std::vector<ExportListRow> &ticked,
                               bool onlyRevised)
{
    QSet<QString> scripts;
    for (const ExportListRow &row : ticked)
        scripts.insert(row.folder + u'/' + row.script);
    ProjectCheckOptions options;
    options.errorsOnly = true;
    // Untranslated blocks are written with their original, whatever "Include
    // blocks without translation" says; only translations are checked.
    options.inScope = [&](const CheckedBlock &block) {
        return block.translated && (!onlyRevised || block.revised)
            && scripts.contains(block.table + u'/' + block.fileName);
    };
    return checkProject(project, options);
}

namespace {

struct WrittenBlock
{
    qint16 number = 0;
    qint16 width = 0;
    qint16 height = 0;
    QString text; // as stored
};

WrittenBlock meantBlock(const ScriptRow &row)
{
    const bool chosen = row.newWidth > 0;
    return {row.dialogueId, chosen ? row.newWidth : row.width, chosen ? row.newHeight : row.height,
            toStoreText(row.translated ? row.textDataT : row.textData)};
}

QString sizeText(const WrittenBlock &block)
{
    return u"w:%1 h:%2"_s.arg(block.width).arg(block.height);
}

// What differs between a block meant and the block read back, or nothing.
QString difference(const WrittenBlock &meant, const ScriptBlock &read)
{
    if (read.number != meant.number)
        return u"reads back as block %1"_s.arg(read.number);
    const WrittenBlock got{read.number, read.width, read.height, read.text};
    if (read.width != meant.width || read.height != meant.height)
        return u"reads back with the size %1 instead of %2"_s.arg(sizeText(got), sizeText(meant));
    if (read.text != meant.text)
        return u"its text reads back differently (%1 characters instead of %2)"_s.arg(read.text.size()).arg(
            meant.text.size());
    return {};
}

} // namespace

QStringList verifyExport(Database &db, const QString &programFolder, const std::vector<ExportListRow> &ticked,
                         bool onlyRevised, bool includeUntranslated)
{
    QStringList differences;
    for (const ExportListRow &row : ticked) {
        const QString shown = u"Translated/%1/%2"_s.arg(row.folder, row.script);
        Result<ResultSet> rows = db.query(exportScriptStatement(row.folder, row.script, onlyRevised, includeUntranslated));
        const Result<std::vector<ScriptRow>> meant = scriptRowsFrom(rows);
        if (!meant) {
            differences << u"%1: what was written cannot be read from the store (%2)."_s.arg(shown,
                                                                                              meant.error().message);
            continue;
        }
        const std::vector<ScriptRow> &meantRows = *meant;
        std::vector<ScriptBlock> read;
        ReaderSizes sizes;
        ReadFailure failure;
        const auto keep = [&read](const ScriptBlock &block) {
            read.push_back(block);
            return true;
        };
        if (!readScriptFile(programPath(programFolder, shown), sizes, keep, &failure)) {
            differences << u"%1: the file cannot be read back (%2)."_s.arg(shown, failure.message);
            continue;
        }
        const size_t common = std::min(read.size(), meantRows.size());
        for (size_t i = 0; i < common; ++i) {
            const WrittenBlock meant = meantBlock(meantRows[i]);
            const QString what = difference(meant, read[i]);
            if (!what.isEmpty())
                differences << u"%1, block %2: %3."_s.arg(shown).arg(meant.number).arg(what);
        }
        if (read.size() != meantRows.size())
            differences << u"%1: %2 blocks were written, %3 read back."_s.arg(shown).arg(meantRows.size()).arg(
                read.size());
    }
    return differences;
}
