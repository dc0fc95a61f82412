// The reader over every script file of the corpus, folder by folder as the
// imports go, and the writer over the same blocks as the export goes.
#include "bench/bench.h"
#include "scripts/scriptformat.h"

using namespace Qt::StringLiterals;

namespace {

void listCorpus(BenchContext &ctx)
{
    auto &folders = ctx.emplace<std::vector<CorpusFolder>>(corpusFiles(ctx.corpus));
    qsizetype files = 0;
    for (const CorpusFolder &f : folders)
        files += f.paths.size();
    if (files == 0)
        ctx.fail(u"no script files under --corpus (make one with tallowpen-gencorpus)"_s);
}

void readCorpus(BenchContext &ctx)
{
    int blocks = 0;
    qint64 characters = 0;
    for (const CorpusFolder &folder : ctx.state<std::vector<CorpusFolder>>()) {
        ReaderSizes sizes;
        for (const QString &path : folder.paths) {
            ReadFailure failure;
            const bool ok = readScriptFile(path, sizes, [&](const ScriptBlock &b) {
                ++blocks;
                characters += b.text.size();
                return true;
            }, &failure);
            if (!ok)
                return ctx.fail(failure.message);
        }
    }
    ctx.record(u"blocks"_s, blocks);
    ctx.record(u"characters"_s, characters);
}

// Every file's blocks as untranslated rows, ready for the writer.
void readRows(BenchContext &ctx)
{
    auto &files = ctx.emplace<std::vector<std::vector<ScriptRow>>>();
    for (const CorpusFolder &folder : corpusFiles(ctx.corpus)) {
        ReaderSizes sizes;
        for (const QString &path : folder.paths) {
            std::vector<ScriptRow> &rows = files.emplace_back();
            ReadFailure failure;
            const bool ok = readScriptFile(path, sizes, [&rows](const ScriptBlock &b) {
                rows.push_back(ScriptRow{b.number, b.width, b.height, 0, 0, false, b.text, {}});
                return true;
            }, &failure);
            if (!ok)
                return ctx.fail(failure.message);
        }
    }
    if (files.empty())
        ctx.fail(u"no script files under --corpus (make one with tallowpen-gencorpus)"_s);
}

void formatRows(BenchContext &ctx)
{
    qint64 bytes = 0;
    for (const std::vector<ScriptRow> &rows : ctx.state<std::vector<std::vector<ScriptRow>>>()) {
        EncodeFailure failure;
        const std::optional<QByteArray> encoded = encodeScriptText(formatScriptBlocks(rows), u"bench"_s, &failure);
        if (!encoded)
            return ctx.fail(failure.message);
        bytes += encoded->size();
    }
    ctx.record(u"bytes"_s, bytes);
}

} // namespace

TALLOWPEN_BENCH("read scripts", listCorpus, readCorpus);
TALLOWPEN_BENCH("format scripts", readRows, formatRows);
