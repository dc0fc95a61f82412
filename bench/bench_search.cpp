// The search window over a store of the whole corpus: a common word in
// "Original and Translated", and "%%" listing every block.
#include "ui/messages.h"
#include "bench/bench.h"
#include "bench/importedstore.h"
#include "project/sqlitestore.h"
#include "search/widgets/searchwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

struct SearchWindowState
{
    QTreeView tree;
    std::unique_ptr<SqliteStore> store;
    std::unique_ptr<SearchWindow> form;
};

void openWindow(BenchContext &ctx)
{
    const QString path = importedStore(ctx);
    if (ctx.failed())
        return;
    Messages::setHandler([](QWidget *, const Messages::Message &) { return Messages::Answer::Ok; });
    auto &window = ctx.emplace<SearchWindowState>();
    ScriptTreeJump jump;
    jump.tree = &window.tree;
    Result<std::unique_ptr<SqliteStore>> store = SqliteStore::open(path);
    if (!store) {
        ctx.fail(store.error().message);
        return;
    }
    window.store = std::move(*store);
    window.form = std::make_unique<SearchWindow>(*window.store, jump);
    window.form->show();
    QCoreApplication::processEvents();
}

void search(BenchContext &ctx, int type, const QString &text)
{
    const double cpuStart = processorMs();
    SearchWindow &form = *ctx.state<SearchWindowState>().form;
    form.findChild<QComboBox *>(u"cmbType"_s)->setCurrentIndex(type);
    form.findChild<QLineEdit *>(u"txtSearch"_s)->setText(text);
    form.runSearch();
    // The list is painted once before the window answers again.
    QCoreApplication::processEvents();
    ctx.record(u"cpu_ms"_s, qRound(processorMs() - cpuStart));
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
