// The search window over a store of the whole corpus: a common word in
// "Original and Translated", and "%%" listing every block.
#include "app/ui/messages.h"
#include "bench/bench.h"
#include "scripts/scriptformat.h"
#include "search/widgets/frmbuscar.h"
#include "store/database.h"
#include "store/layout.h"
#include "store/storetext.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QMap>
#include <QTemporaryDir>
#include <QTreeView>

#include <ctime>

using namespace Qt::StringLiterals;

namespace {

// Building the store takes seconds; it is built once per corpus and shared by
// the runs. Every block is translated with its own text, so both halves of
// "Original and Translated" read every row.
QString corpusStore(BenchContext &ctx)
{
    static QMap<QString, std::shared_ptr<QTemporaryDir>> stores;
    if (const auto found = stores.constFind(ctx.corpus); found != stores.cend())
        return (*found)->filePath(StoreFileName);

    auto dir = std::make_shared<QTemporaryDir>();
    const QString path = dir->filePath(StoreFileName);
    StoreError error;
    Database db;
    if (!createStore(path, &error) || !openStore(db, path) || !db.begin())
        return ctx.fail(error.message + db.lastError().message), QString();
    int blocks = 0;
    for (const CorpusFolder &folder : corpusFiles(ctx.corpus)) {
        ReaderSizes sizes;
        for (const QString &file : folder.paths) {
            const QString name = toStoreText(QFileInfo(file).fileName());
            ReadFailure failure;
            const bool ok = ReadScriptFile(file, sizes, [&](const ScriptBlock &b) {
                const QString text = toStoreText(b.text);
                ++blocks;
                return db.execute(u"INSERT INTO "_s + folder.table
                                  + u" (file_name,dialogue_id,text_data,width,height,comments,translated,revised,"
                                    "text_data_t,new_width,new_height) VALUES ('"_s
                                  + name + u"', "_s + QString::number(b.number) + u", '"_s + text + u"', "_s
                                  + QString::number(b.width) + u", "_s + QString::number(b.height) + u", '', 1, 0, '"_s
                                  + text + u"', 0, 0);"_s);
            }, &failure);
            if (!ok)
                return ctx.fail(failure.message.isEmpty() ? db.lastError().message : failure.message), QString();
        }
    }
    if (blocks == 0)
        return ctx.fail(u"no script files under --corpus (make one with tallowpen-gencorpus)"_s), QString();
    if (!db.commit())
        return ctx.fail(db.lastError().message), QString();
    stores.insert(ctx.corpus, dir);
    return path;
}

struct SearchWindow
{
    QTreeView tree;
    std::unique_ptr<frmBuscar> form;
};

void openWindow(BenchContext &ctx)
{
    const QString path = corpusStore(ctx);
    if (ctx.failed())
        return;
    Messages::setHandler([](QWidget *, const Messages::Message &) { return Messages::Answer::Ok; });
    auto &window = ctx.emplace<SearchWindow>();
    ScriptTreeJump jump;
    jump.tree = &window.tree;
    window.form = std::make_unique<frmBuscar>(path, jump);
    window.form->show();
    QCoreApplication::processEvents();
}

// Processor time of this process: on a machine shared with other work the
// wall time says more about the neighbours than about the search.
double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

void search(BenchContext &ctx, int type, const QString &text)
{
    const double cpuStart = cpuMs();
    frmBuscar &form = *ctx.state<SearchWindow>().form;
    form.findChild<QComboBox *>(u"cmbType"_s)->setCurrentIndex(type);
    form.findChild<QLineEdit *>(u"txtSearch"_s)->setText(text);
    form.cmdBuscar_Click();
    // The list is painted once before the window answers again.
    QCoreApplication::processEvents();
    ctx.record(u"cpu_ms"_s, qRound(cpuMs() - cpuStart));
    ctx.record(u"hits"_s, form.hits()->rowCount());
    if (form.hits()->rowCount() == 0)
        ctx.fail(u"nothing found"_s);
}

// One of the corpus's everyday words: in some blocks, not in most.
void searchCommonWord(BenchContext &ctx)
{
    search(ctx, 2, u"sword"_s);
}

// The corpus's most frequent word: close to every block, once per column.
void searchMostCommonWord(BenchContext &ctx)
{
    search(ctx, 2, u"the"_s);
}

void searchEverything(BenchContext &ctx)
{
    search(ctx, 2, u"%%"_s);
}

} // namespace

TALLOWPEN_BENCH("search common word", openWindow, searchCommonWord);
TALLOWPEN_BENCH("search most common word", openWindow, searchMostCommonWord);
TALLOWPEN_BENCH("search %%", openWindow, searchEverything);
